#pragma once

#include "AlignedAllocator.h"
#include "FlameKernels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The heat buffer and the seed lines that feed it from the bottom. The buffer has one row
// more than the frame; that row stays zero so the propagation may read past the seed row.
// Beside the buffer it keeps which chunks of each row may hold heat; whatever writes into the
// buffer goes through WriteArea or GetWritableBuffer, which keep those flags true.
class CFlameField
{
public:
    // Allocates a zeroed field; throws std::bad_alloc when memory runs out.
    void Create(int nWidth, int nHeight);
    void Free();

    // The seed row of this step, interpolated between the two seed lines and squared.
    void WriteSeedRow();
    // Moves the heat one step upward.
    void Propagate();
    // Advances the seed phase; every seventh step starts a new seed line.
    void AdvanceSeed();

    // The address of (x, y), to write heat into the nWidth x nHeight pixels from there.
    uint8_t* WriteArea(int x, int y, int nWidth, int nHeight)
    {
        MarkHot(x, y, x + nWidth - 1, y + nHeight - 1);
        return m_flame.data() + static_cast<ptrdiff_t>(y) * m_nWidth + x;
    }
    // The whole buffer, for a writer that may touch any of it.
    uint8_t* GetWritableBuffer();

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    const uint8_t* GetBuffer() const { return m_flame.data(); }
    // The chunk flags of the H+1 rows, as the propagation keeps them.
    const uint64_t* GetHotChunks() const { return m_hot.data(); }
    // False when row y (0 .. H-1) holds no heat at all; a true answer may still be cold. The
    // outputs use it to leave rows alone that stay cold from one frame to the next.
    bool IsRowWarm(int y) const;
    const uint8_t* GetSeedFrom() const { return m_seedFrom.data(); }
    const uint8_t* GetSeedRow() const { return m_seedRow.data(); }
    const uint8_t* GetSeedTo() const { return m_seedTo.data(); }

private:
    void GenerateSeed(int x0, int x1, uint8_t nLeft, uint8_t nRight);
    // Flags the chunks of pixels (x0, y0) .. (x1, y1), clipped to the buffer. Particles call
    // it a thousand times a step, mostly for a few pixels of one chunk.
    void MarkHot(int x0, int y0, int x1, int y1)
    {
        if (0 <= x0 && x0 <= x1 && x1 < m_nWidth && 0 <= y0 && y0 <= y1 && y1 <= m_nHeight &&
            x0 / FLAME_CHUNK == x1 / FLAME_CHUNK)
        {
            const int nChunk = x0 / FLAME_CHUNK;
            uint64_t* pWord = m_hot.data() + static_cast<size_t>(y0) * m_nHotWords + nChunk / 64;
            for (int y = y0; y <= y1; ++y, pWord += m_nHotWords)
                *pWord |= uint64_t{1} << (nChunk % 64);
        }
        else
            MarkHotClipped(x0, y0, x1, y1);
    }
    void MarkHotClipped(int x0, int y0, int x1, int y1);

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nHotWords = 0;                                                 // flag words per row
    std::vector<uint8_t, AlignedAllocator<uint8_t, CACHE_LINE>> m_flame; // W x (H+1)
    std::vector<uint64_t> m_hot;     // FlameHotWordsPerRow(W) x (H+1)
    std::vector<uint8_t> m_seedFrom; // the line the bottom row starts from
    std::vector<uint8_t> m_seedRow;  // this step's bottom row
    std::vector<uint8_t> m_seedTo;   // the line the bottom row moves toward
    std::vector<int8_t> m_seedStep;  // (to - from) / 7 per column, fixed for a transition
};
