#include "CFrameScaler.h"

#include <cstring>

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
    return true;
}

void CFrameScaler::Scale(const std::uint8_t* pSource, std::uint8_t* pDest,
                         std::ptrdiff_t nDestPitch) const
{
    const std::size_t nDestWidth = m_columnMap.size();
    const std::uint32_t* pColumns = m_columnMap.data();
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
            {
                for (std::size_t x = 0; x < nDestWidth; ++x)
                    pDest[x] = pSourceRow[pColumns[x]];
            }
        }
        pPreviousDest = pDest;
        nPreviousRow = nRow;
    }
}
