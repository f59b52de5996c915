#include "CFrameScaler.h"

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
