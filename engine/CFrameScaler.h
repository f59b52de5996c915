#pragma once

#include "FlameKernels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Stretches an 8-bit frame to a destination of any size by nearest pixel, so that the fire
// stays crisp: every destination pixel takes the source pixel whose area holds its centre,
// source column floor((2x + 1) * W / (2 * DW)) and likewise for rows. Whole-number factors
// therefore repeat each source pixel exactly k times, and shrinking drops pixels evenly.
// The maps are worked out once per size; a destination row that repeats the one above it
// is copied whole, and where the destination is wider each source pixel is written as one
// run of its copies rather than gathered pixel by pixel.
// A part of a frame can also go straight to the screen's 32-bit pixels: each source pixel is
// looked up once and its colour repeated, rather than the stretched bytes looked up one by one.
class CFrameScaler
{
public:
    // Prepares the maps from a source of nSourceWidth x nSourceHeight to a destination of
    // nDestWidth x nDestHeight. False, leaving the scaler empty, for a size below 1.
    bool Configure(int nSourceWidth, int nSourceHeight, int nDestWidth, int nDestHeight);

    // Scales pSource (packed rows of the source width) into pDest, whose rows lie nDestPitch
    // bytes apart (negative for a bottom-up picture given by its top row). Does nothing
    // when not configured.
    void Scale(const std::uint8_t* pSource, std::uint8_t* pDest, std::ptrdiff_t nDestPitch) const;

    // Writes the destination rectangle that shows source columns x0 .. x1 - 1 of source rows
    // y0 .. y1 - 1 (GetDestColumn(x0) .. GetDestColumn(x1) - 1, rows likewise) as the table's
    // pixels: pDest is its top-left pixel, its rows nDestPitch pixels apart. pSource is the
    // whole packed source frame. Does nothing when not configured.
    void ScaleColours(const std::uint8_t* pSource, int x0, int y0, int x1, int y1,
                      const ColourTable& table, std::uint32_t* pDest, std::ptrdiff_t nDestPitch);

    // The source index of destination index nDest, for a source of nSourceSize scaled to
    // nDestSize: the rule both maps follow.
    static int SourceIndex(int nDest, int nDestSize, int nSourceSize);

    // The source row destination row y shows (0 <= y < GetDestHeight()).
    int GetSourceRow(int y) const
    {
        return static_cast<int>(m_rowMap[static_cast<std::size_t>(y)]);
    }

    // The first destination column (row) that shows source column (row) n or one after it;
    // n may be the source's width (height), which gives the destination's.
    int GetDestColumn(int n) const { return m_destColumns[static_cast<std::size_t>(n)]; }
    int GetDestRow(int n) const { return m_destRows[static_cast<std::size_t>(n)]; }
    // The most destination rows that show one source row.
    int GetRowRepeat() const { return m_nRowRepeat; }

    bool IsConfigured() const { return !m_rowMap.empty(); }
    int GetSourceWidth() const { return m_nSourceWidth; }
    int GetSourceHeight() const { return m_nSourceHeight; }
    int GetDestWidth() const { return static_cast<int>(m_columnMap.size()); }
    int GetDestHeight() const { return static_cast<int>(m_rowMap.size()); }

private:
    void ScaleRow(const std::uint8_t* pSourceRow, std::uint8_t* pDest) const;
    // Widens the looked-up source pixels x0 .. x1 - 1 (pLookedUp holding x0 first) into the
    // destination columns that show them, pDest the first of those.
    void ScaleColourRow(const std::uint32_t* pLookedUp, int x0, int x1, std::uint32_t* pDest) const;

    int m_nSourceWidth = 0;
    int m_nSourceHeight = 0;
    std::vector<std::uint32_t> m_columnMap; // source column of each destination column
    std::vector<std::uint32_t> m_rowMap;    // source row of each destination row
    std::vector<int> m_destColumns;         // GetDestColumn for 0 .. source width
    std::vector<int> m_destRows;            // GetDestRow for 0 .. source height
    int m_nRowRepeat = 0;
    // When no source column has more destination columns than this: each looked-up pixel is
    // written as one store of this many copies (0: gathered pixel by pixel).
    int m_nColourRun = 0;
    std::vector<std::uint32_t> m_lookedUp; // one source row in the table's pixels
    // When widening by at most RUN_STORE_BYTES: the copies of each source column, and how
    // many source columns can be written as whole stores before a store would pass the row.
    std::vector<std::uint8_t> m_runs;
    int m_nRunColumns = 0;
};
