#pragma once

#include <cstdint>
#include <vector>

// Which rows of a frame must go to the screen: those that may hold heat in this frame or did
// in the last one shown. A row cold in both shows the same picture in both (black, or the
// unmoving desktop under the overlay), so it is left as it is on the screen.
class CChangedRows
{
public:
    // Sized for frames of nHeight rows; the next frame counts as wholly changed.
    void Reset(int nHeight);
    // The screen may no longer show the last frame (a dropped frame, something drawn over
    // it): the next frame counts as wholly changed.
    void InvalidateAll() { m_bAll = true; }
    // Takes the warm rows (nonzero per row) of the frame to come; true when any row changed.
    bool Update(const uint8_t* pWarmRows);

    bool IsChanged(int y) const { return m_changed[static_cast<size_t>(y)] != 0; }
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

private:
    std::vector<uint8_t> m_lastWarm;
    std::vector<uint8_t> m_changed;
    bool m_bAll = true;
};
