#include "CChangedRows.h"

#include <algorithm>
#include <cstring>

namespace
{
// The overlay shifts the desktop under four pixels by the heat of the first, in groups that
// start at multiples of four pixels of the whole frame.
constexpr int OVERLAY_GROUP = 4;
} // namespace

void CChangedRows::Reset(int nHeight)
{
    m_nWidth = 0;
    m_nChunks = 1;
    m_nWords = 1;
    m_lastWarm.assign(static_cast<size_t>(std::max(nHeight, 0)), 1);
    m_changed.assign(m_lastWarm.size(), 1);
    m_lastChunks.clear();
    m_changedChunks.assign(m_lastWarm.size(), 1);
    m_bAll = true;
}

void CChangedRows::Reset(int nWidth, int nHeight)
{
    Reset(nHeight);
    m_nWidth = std::max(nWidth, 0);
    m_nChunks = FlameChunksPerRow(m_nWidth);
    m_nWords = FlameHotWordsPerRow(m_nWidth);
    m_lastChunks.assign(m_lastWarm.size() * static_cast<size_t>(m_nWords), 0);
    m_changedChunks.assign(m_lastChunks.size(), 0);
}

bool CChangedRows::Update(const uint8_t* pWarmRows)
{
    bool bAny = false;
    for (size_t y = 0; y < m_changed.size(); ++y)
    {
        const uint8_t bWarm = pWarmRows[y] != 0 ? 1 : 0;
        m_changed[y] = (m_bAll || bWarm || m_lastWarm[y]) ? 1 : 0;
        m_lastWarm[y] = bWarm;
        bAny = bAny || m_changed[y];
        for (int w = 0; w < m_nWords; ++w)
            m_changedChunks[y * static_cast<size_t>(m_nWords) + static_cast<size_t>(w)] =
                m_changed[y] != 0 ? ~uint64_t{0} : 0;
    }
    m_bWasWhole = m_bAll;
    m_bAll = false;
    return bAny;
}

bool CChangedRows::UpdateChunks(const uint64_t* pHotChunks)
{
    const size_t nWords = static_cast<size_t>(m_nWords);
    const int nHeight = GetHeight();
    bool bAny = false;
    for (int y = 0; y < nHeight; ++y)
    {
        const size_t nRow = static_cast<size_t>(y) * nWords;
        uint64_t nRowBits = 0;
        for (size_t w = 0; w < nWords; ++w)
        {
            const uint64_t nNow = pHotChunks[nRow + w];
            const uint64_t nChanged = m_bAll ? ~uint64_t{0} : nNow | m_lastChunks[nRow + w];
            m_lastChunks[nRow + w] = nNow;
            m_changedChunks[nRow + w] = nChanged;
            nRowBits |= nChanged;
        }
        m_changed[static_cast<size_t>(y)] = nRowBits != 0 ? 1 : 0;
        bAny = bAny || nRowBits != 0;
    }
    if (!m_bAll && m_nWidth % OVERLAY_GROUP != 0)
        AddGroupTails();
    m_bWasWhole = m_bAll;
    m_bAll = false;
    return bAny; // a tail follows a changed chunk
}

void CChangedRows::AddGroupTails()
{
    // Rows that are not a whole number of groups have groups that begin in one chunk and end
    // in the next, or in the row below: the pixels after a changed chunk up to the next group
    // change with it. From the frame's end back, so that a chunk marked here is already past.
    const int nCount = m_nWidth * GetHeight();
    for (int y = GetHeight() - 1; y >= 0; --y)
        for (int c = m_nChunks - 1; c >= 0; --c)
        {
            if (!IsChunkChanged(y, c))
                continue;
            const int nEnd = y * m_nWidth + std::min((c + 1) * FLAME_CHUNK, m_nWidth);
            for (int p = nEnd; p % OVERLAY_GROUP != 0 && p < nCount; ++p)
            {
                const int yTail = p / m_nWidth;
                const int nChunk = p % m_nWidth / FLAME_CHUNK;
                m_changedChunks[static_cast<size_t>(yTail) * static_cast<size_t>(m_nWords) +
                                static_cast<size_t>(nChunk / 64)] |= uint64_t{1} << (nChunk % 64);
                m_changed[static_cast<size_t>(yTail)] = 1;
            }
        }
}

void CChangedRows::KeepDiffering(const uint8_t* pFrame, uint8_t* pShown)
{
    const size_t nWidth = static_cast<size_t>(m_nWidth);
    if (m_bWasWhole)
    {
        std::memcpy(pShown, pFrame, nWidth * m_changed.size());
        return;
    }
    for (size_t y = 0; y < m_changed.size(); ++y)
    {
        if (m_changed[y] == 0)
            continue;
        uint64_t* pWords = m_changedChunks.data() + y * static_cast<size_t>(m_nWords);
        bool bAny = false;
        for (int c = 0; c < m_nChunks; ++c)
        {
            const uint64_t nBit = uint64_t{1} << (c % 64);
            if ((pWords[c / 64] & nBit) == 0)
                continue;
            const size_t x = static_cast<size_t>(c) * FLAME_CHUNK;
            const size_t nBytes = std::min(static_cast<size_t>(FLAME_CHUNK), nWidth - x);
            const size_t nAt = y * nWidth + x;
            if (std::memcmp(pFrame + nAt, pShown + nAt, nBytes) == 0)
            {
                pWords[c / 64] &= ~nBit;
                continue;
            }
            std::memcpy(pShown + nAt, pFrame + nAt, nBytes);
            bAny = true;
        }
        m_changed[y] = bAny ? 1 : 0;
    }
}
