#pragma once

#include "FlameKernels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Which parts of a frame must go to the screen: those that may hold heat in this frame or did
// in the last one shown. A part cold in both shows the same picture in both (black, or the
// unmoving desktop under the overlay), so it is left as it is on the screen. The parts are
// whole rows, or, given the engine's chunk flags, the 64-pixel chunks of each row.
class CChangedRows
{
public:
    // Sized for frames of nHeight rows, tracked by whole rows; the next frame counts as
    // wholly changed.
    void Reset(int nHeight);
    // Sized for nWidth x nHeight frames, tracked by chunks (UpdateChunks).
    void Reset(int nWidth, int nHeight);
    // The screen may no longer show the last frame (a dropped frame, something drawn over
    // it): the next frame counts as wholly changed.
    void InvalidateAll() { m_bAll = true; }
    // Takes the warm rows (nonzero per row) of the frame to come; true when any row changed.
    bool Update(const uint8_t* pWarmRows);
    // Takes the chunk flags of the frame to come, as the flame field keeps them (a row's words
    // one after the other, top row first); true when any chunk changed. The chunks that hold
    // the ends of the overlay's groups begun in a changed chunk count as changed too.
    bool UpdateChunks(const uint64_t* pHotChunks);

    bool IsChanged(int y) const { return m_changed[static_cast<size_t>(y)] != 0; }
    bool IsChunkChanged(int y, int nChunk) const
    {
        return (ChangedWords(y)[nChunk / 64] >> (nChunk % 64) & 1) != 0;
    }
    int GetHeight() const { return static_cast<int>(m_changed.size()); }

    // Calls fn(nTop, nRows) for every run of changed rows, cut into runs of at most nMaxRows.
    template <class Fn> void ForEachRun(int nMaxRows, Fn fn) const
    {
        const int nHeight = GetHeight();
        for (int y = 0; y < nHeight;)
        {
            if (!IsChanged(y))
            {
                ++y;
                continue;
            }
            int nRows = 1;
            while (y + nRows < nHeight && nRows < nMaxRows && IsChanged(y + nRows))
                ++nRows;
            fn(y, nRows);
            y += nRows;
        }
    }

    // Calls fn(x, nTop, nWidth, nRows) for rectangles that cover every changed chunk: the runs
    // of changed rows cut as ForEachRun does, and in each the runs of chunks changed in any of
    // its rows, with gaps of at most nGapChunks unchanged chunks sent along rather than cut,
    // since every rectangle costs a call.
    template <class Fn> void ForEachRect(int nMaxRows, int nGapChunks, Fn fn) const
    {
        ForEachRun(nMaxRows,
                   [&](int nTop, int nRows)
                   {
                       m_union.assign(static_cast<size_t>(m_nWords), 0);
                       for (int y = nTop; y < nTop + nRows; ++y)
                           for (int w = 0; w < m_nWords; ++w)
                               m_union[static_cast<size_t>(w)] |= ChangedWords(y)[w];
                       ForEachChunkRun(nGapChunks,
                                       [&](int x, int nWidth) { fn(x, nTop, nWidth, nRows); });
                   });
    }
    // True when the last Update or UpdateChunks took the frame as wholly changed.
    bool WasWhole() const { return m_bWasWhole; }
    // Of the changed chunks of the frame to come, keeps those whose pixels differ from pShown,
    // the copy of the frame the screen shows, and brings the copy up to date with them; after a
    // whole frame, copies all of it. Both are packed nWidth x nHeight (tracked by chunks). Worth
    // its pass over the frame where each of the frame's pixels costs many on the screen.
    void KeepDiffering(const uint8_t* pFrame, uint8_t* pShown);

private:
    void AddGroupTails();
    const uint64_t* ChangedWords(int y) const
    {
        return m_changedChunks.data() + static_cast<size_t>(y) * static_cast<size_t>(m_nWords);
    }
    bool IsUnionChunk(int c) const
    {
        return (m_union[static_cast<size_t>(c / 64)] >> (c % 64) & 1) != 0;
    }
    // Calls fn(x, nWidth) for the runs of set chunks in m_union, merged across small gaps.
    template <class Fn> void ForEachChunkRun(int nGapChunks, Fn fn) const
    {
        int nStart = -1, nEnd = -1; // the run being gathered, in chunks
        for (int c = 0; c < m_nChunks; ++c)
        {
            if (!IsUnionChunk(c))
                continue;
            if (nStart >= 0 && c - nEnd > nGapChunks)
            {
                EmitRun(nStart, nEnd, fn);
                nStart = -1;
            }
            if (nStart < 0)
                nStart = c;
            nEnd = c + 1;
        }
        if (nStart >= 0)
            EmitRun(nStart, nEnd, fn);
    }
    template <class Fn> void EmitRun(int nStart, int nEnd, Fn fn) const
    {
        const int x = nStart * FLAME_CHUNK;
        const int xEnd = nEnd * FLAME_CHUNK < m_nWidth ? nEnd * FLAME_CHUNK : m_nWidth;
        fn(x, xEnd - x);
    }

    int m_nWidth = 0;
    int m_nChunks = 1; // per row; one spanning the row when tracked by rows
    int m_nWords = 1;  // flag words per row
    std::vector<uint8_t> m_lastWarm;
    std::vector<uint8_t> m_changed;
    std::vector<uint64_t> m_lastChunks;    // the last frame's chunk flags
    std::vector<uint64_t> m_changedChunks; // per row, the chunks to send
    mutable std::vector<uint64_t> m_union; // scratch for ForEachRect
    bool m_bAll = true;
    bool m_bWasWhole = false;
};
