#include "CFrameScaler.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
// A run of copies is written as one store of this many bytes, the first run-length of them
// kept and the rest overwritten by the runs after it.
constexpr int RUN_STORE_BYTES = 8;
constexpr std::uint64_t BYTE_SPREAD = 0x0101010101010101ULL;
// Both ways are bound by their stores: one a destination pixel when gathering, one a source
// pixel with runs. Below twice as wide, gathering measured as fast (1024 to 1920 columns).
constexpr int MIN_RUN_FACTOR = 2;
// The same for 32-bit pixels: a store of four copies (16 bytes) where no pixel has more, else
// of eight.
constexpr int SHORT_COLOUR_RUN = 4;
constexpr int LONG_COLOUR_RUN = 8;

// Widens pLookedUp's pixels x0 .. x1 - 1 (x0 first) into pDest from destination column nAt
// on, each pixel's run of copies written as one store of RUN copies, while a whole store fits
// before nEnd; leaves in nAt the first destination column it did not write.
template <int RUN>
void StoreColourRuns(const std::uint32_t* pLookedUp, int x0, int x1, const int* pDestColumns,
                     int nEnd, std::uint32_t* pDest, int& nAt)
{
    const int nStart = pDestColumns[x0];
    int x = x0;
    for (; x < x1 && nAt + RUN <= nEnd; ++x)
    {
        std::uint32_t aCopies[RUN];
        std::fill(aCopies, aCopies + RUN, pLookedUp[x - x0]);
        std::memcpy(pDest + (nAt - nStart), aCopies, sizeof(aCopies));
        nAt = pDestColumns[x + 1];
    }
}

// dest[n] for n = 0 .. source size: the first destination index whose source index is n or
// more, from the map of the destination's source indices (which never fall).
void FirstDestIndices(const std::vector<std::uint32_t>& map, int nSourceSize,
                      std::vector<int>& dest)
{
    dest.resize(static_cast<std::size_t>(nSourceSize) + 1);
    std::size_t i = 0;
    for (int n = 0; n <= nSourceSize; ++n)
    {
        while (i < map.size() && static_cast<int>(map[i]) < n)
            ++i;
        dest[static_cast<std::size_t>(n)] = static_cast<int>(i);
    }
}
} // namespace

int CFrameScaler::SourceIndex(int nDest, int nDestSize, int nSourceSize)
{
    // The centre of destination pixel nDest, (nDest + 1/2) * source / dest, in whole numbers.
    const std::int64_t nNumerator = (2 * static_cast<std::int64_t>(nDest) + 1) * nSourceSize;
    return static_cast<int>(nNumerator / (2 * static_cast<std::int64_t>(nDestSize)));
}

bool CFrameScaler::Configure(int nSourceWidth, int nSourceHeight, int nDestWidth, int nDestHeight)
{
    m_columnMap.clear();
    m_rowMap.clear();
    m_runs.clear();
    m_nRunColumns = 0;
    m_destColumns.clear();
    m_destRows.clear();
    m_nRowRepeat = 0;
    m_nColourRun = 0;
    m_nSourceWidth = 0;
    m_nSourceHeight = 0;
    if (nSourceWidth < 1 || nSourceHeight < 1 || nDestWidth < 1 || nDestHeight < 1)
        return false;

    m_nSourceWidth = nSourceWidth;
    m_nSourceHeight = nSourceHeight;
    m_columnMap.resize(static_cast<std::size_t>(nDestWidth));
    for (int x = 0; x < nDestWidth; ++x)
        m_columnMap[x] = static_cast<std::uint32_t>(SourceIndex(x, nDestWidth, nSourceWidth));
    m_rowMap.resize(static_cast<std::size_t>(nDestHeight));
    for (int y = 0; y < nDestHeight; ++y)
        m_rowMap[y] = static_cast<std::uint32_t>(SourceIndex(y, nDestHeight, nSourceHeight));
    FirstDestIndices(m_columnMap, nSourceWidth, m_destColumns);
    FirstDestIndices(m_rowMap, nSourceHeight, m_destRows);
    int nColumnRepeat = 0;
    for (int x = 0; x < nSourceWidth; ++x)
        nColumnRepeat = std::max(nColumnRepeat, m_destColumns[x + 1] - m_destColumns[x]);
    for (int y = 0; y < nSourceHeight; ++y)
        m_nRowRepeat = std::max(m_nRowRepeat, m_destRows[y + 1] - m_destRows[y]);
    // A run store may be overwritten by the next pixel's, which also covers pixels shown by
    // no destination column when shrinking.
    m_nColourRun = nColumnRepeat <= SHORT_COLOUR_RUN  ? SHORT_COLOUR_RUN
                   : nColumnRepeat <= LONG_COLOUR_RUN ? LONG_COLOUR_RUN
                                                      : 0;
    m_lookedUp.resize(static_cast<std::size_t>(nSourceWidth));

    // Widening by a factor up to the store size: every source column has a run of 1 to
    // RUN_STORE_BYTES copies, in order, since the column map rises by at most one a step.
    if (nDestWidth >= nSourceWidth * MIN_RUN_FACTOR && nDestWidth <= nSourceWidth * RUN_STORE_BYTES)
    {
        std::vector<std::uint8_t> runs(static_cast<std::size_t>(nSourceWidth), 0);
        bool bUsable = true;
        for (const std::uint32_t nColumn : m_columnMap)
            bUsable = bUsable && ++runs[nColumn] <= RUN_STORE_BYTES;
        for (int nRun : runs)
            bUsable = bUsable && nRun > 0;
        if (bUsable)
        {
            // Whole stores only where the store ends inside the row.
            int nStart = 0;
            while (m_nRunColumns < nSourceWidth && nStart + RUN_STORE_BYTES <= nDestWidth)
                nStart += runs[m_nRunColumns++];
            m_runs = std::move(runs);
        }
    }
    return true;
}

void CFrameScaler::Scale(const std::uint8_t* pSource, std::uint8_t* pDest,
                         std::ptrdiff_t nDestPitch) const
{
    const std::size_t nDestWidth = m_columnMap.size();
    const bool bSameWidth = nDestWidth == static_cast<std::size_t>(m_nSourceWidth);
    const std::uint8_t* pPreviousDest = nullptr;
    std::uint32_t nPreviousRow = 0;
    for (std::size_t y = 0; y < m_rowMap.size(); ++y, pDest += nDestPitch)
    {
        const std::uint32_t nRow = m_rowMap[y];
        if (pPreviousDest != nullptr && nRow == nPreviousRow)
        {
            std::memcpy(pDest, pPreviousDest, nDestWidth);
        }
        else
        {
            const std::uint8_t* pSourceRow =
                pSource + static_cast<std::size_t>(nRow) * m_nSourceWidth;
            if (bSameWidth)
                std::memcpy(pDest, pSourceRow, nDestWidth);
            else
                ScaleRow(pSourceRow, pDest);
        }
        pPreviousDest = pDest;
        nPreviousRow = nRow;
    }
}

void CFrameScaler::ScaleRow(const std::uint8_t* pSourceRow, std::uint8_t* pDest) const
{
    // Locals, since the byte stores may alias the members as far as the compiler knows.
    const std::uint8_t* pRuns = m_runs.data();
    const int nRunColumns = m_nRunColumns;
    std::size_t x = 0;
    for (int nColumn = 0; nColumn < nRunColumns; ++nColumn)
    {
        const std::uint64_t nCopies = pSourceRow[nColumn] * BYTE_SPREAD;
        std::memcpy(pDest + x, &nCopies, RUN_STORE_BYTES);
        x += pRuns[nColumn];
    }
    const std::uint32_t* pColumns = m_columnMap.data();
    const std::size_t nDestWidth = m_columnMap.size();
    for (; x < nDestWidth; ++x)
        pDest[x] = pSourceRow[pColumns[x]];
}

void CFrameScaler::ScaleColours(const std::uint8_t* pSource, int x0, int y0, int x1, int y1,
                                const ColourTable& table, std::uint32_t* pDest,
                                std::ptrdiff_t nDestPitch)
{
    if (!IsConfigured() || x0 >= x1)
        return;
    const std::size_t nDestWidth = static_cast<std::size_t>(m_destColumns[x1] - m_destColumns[x0]);
    const int nDestTop = m_destRows[y0];
    for (int y = y0; y < y1; ++y)
    {
        const int nFirst = m_destRows[y];
        const int nEnd = m_destRows[y + 1];
        if (nFirst == nEnd)
            continue;
        LookUpColours(m_lookedUp.data(),
                      pSource + static_cast<std::size_t>(y) * m_nSourceWidth + x0, x1 - x0, table);
        std::uint32_t* pFirst = pDest + (nFirst - nDestTop) * nDestPitch;
        ScaleColourRow(m_lookedUp.data(), x0, x1, pFirst);
        for (int nRow = nFirst + 1; nRow < nEnd; ++nRow)
            std::memcpy(pDest + (nRow - nDestTop) * nDestPitch, pFirst,
                        nDestWidth * sizeof(std::uint32_t));
    }
}

void CFrameScaler::ScaleColourRow(const std::uint32_t* pLookedUp, int x0, int x1,
                                  std::uint32_t* pDest) const
{
    const int* pDestColumns = m_destColumns.data();
    const int nStart = pDestColumns[x0];
    const int nEnd = pDestColumns[x1];
    int nAt = nStart; // the first destination column not yet written
    if (m_nColourRun == SHORT_COLOUR_RUN)
        StoreColourRuns<SHORT_COLOUR_RUN>(pLookedUp, x0, x1, pDestColumns, nEnd, pDest, nAt);
    else if (m_nColourRun == LONG_COLOUR_RUN)
        StoreColourRuns<LONG_COLOUR_RUN>(pLookedUp, x0, x1, pDestColumns, nEnd, pDest, nAt);
    const std::uint32_t* pColumns = m_columnMap.data();
    for (; nAt < nEnd; ++nAt)
        pDest[nAt - nStart] = pLookedUp[pColumns[nAt] - static_cast<std::uint32_t>(x0)];
}
