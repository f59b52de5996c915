// Which parts of a frame go to the screen: rows or chunks warm now or last time, and the
// rectangles that cover them.
#include "CChangedRows.h"
#include "FlameKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
// Rows go out when warm now or warm last frame; the first frame, and one after an invalidation,
// go out whole.
TEST(ChangedRows, SendsRowsWarmNowOrLastTime)
{
    const int nHeight = 6;
    struct Case
    {
        const char* pszWarm; // '1': warm
        bool bInvalidate;
        const char* pszSent;
    };
    const Case cases[] = {
        {"000000", false, "111111"}, // first frame: whole
        {"000000", false, "000000"}, // black and black: nothing
        {"001100", false, "001100"}, //
        {"000100", false, "001100"}, // row 2 turned black: sent once more
        {"000100", false, "000100"}, //
        {"000000", false, "000100"}, //
        {"000000", false, "000000"}, //
        {"100001", true, "111111"},  // invalidated: whole
        {"000000", false, "100001"},
    };
    CChangedRows rows;
    rows.Reset(nHeight);
    int nFrame = 0;
    for (const Case& c : cases)
    {
        std::vector<uint8_t> warm(nHeight);
        for (int y = 0; y < nHeight; ++y)
            warm[y] = c.pszWarm[y] == '1';
        if (c.bInvalidate)
            rows.InvalidateAll();
        const bool bAny = rows.Update(warm.data());
        std::string strSent;
        for (int y = 0; y < nHeight; ++y)
            strSent += rows.IsChanged(y) ? '1' : '0';
        EXPECT_EQ(strSent, c.pszSent) << "frame " << nFrame;
        EXPECT_EQ(bAny, strSent.find('1') != std::string::npos) << "frame " << nFrame;
        ++nFrame;
    }

    // Runs are cut at the band size.
    std::vector<uint8_t> warm = {1, 1, 1, 1, 1, 0};
    rows.InvalidateAll();
    rows.Update(warm.data());
    std::vector<std::pair<int, int>> runs;
    rows.ForEachRun(4, [&](int nTop, int nRows) { runs.emplace_back(nTop, nRows); });
    EXPECT_EQ(runs, (std::vector<std::pair<int, int>>{{0, 4}, {4, 2}}));
}

// By chunks: a chunk goes out when flagged now or last frame, a frame after an invalidation
// goes out whole; rows that are not a whole number of overlay groups also send the first
// chunk under a changed last chunk.
TEST(ChangedRows, SendsChunksWarmNowOrLastTime)
{
    struct Case
    {
        int nWidth;
        const char* pszHot; // per row, '1' for a flagged chunk; rows split by '|'
        bool bInvalidate;
        const char* pszSent;
    };
    const Case cases[] = {
        {200, "0000|0000", false, "1111|1111"}, // first frame: whole
        {200, "0000|0000", false, "0000|0000"},
        {200, "0110|0001", false, "0110|0001"},
        {200, "0100|0000", false, "0110|0001"}, // turned cold: sent once more
        {200, "0100|0000", false, "0100|0000"}, // then not
        {200, "0000|0000", true, "1111|1111"},  // after a hold or a dropped frame: whole
        {130, "000|000", false, "111|111"},
        {130, "001|000", false, "001|100"}, // the group at row 1's start begins in row 0
        {192, "000|000", false, "111|111"},
        {192, "001|000", false, "001|000"},
    };
    CChangedRows rows;
    int nLastWidth = 0;
    int nCase = 0;
    for (const Case& c : cases)
    {
        const std::string strHot = c.pszHot;
        const int nChunks = static_cast<int>(strHot.find('|'));
        const int nHeight = static_cast<int>(strHot.size() + 1) / (nChunks + 1);
        if (c.nWidth != nLastWidth)
            rows.Reset(c.nWidth, nHeight);
        nLastWidth = c.nWidth;
        std::vector<uint64_t> hot(static_cast<size_t>(nHeight), 0); // one word per row here
        for (int y = 0; y < nHeight; ++y)
            for (int k = 0; k < nChunks; ++k)
                if (strHot[static_cast<size_t>(y * (nChunks + 1) + k)] == '1')
                    hot[static_cast<size_t>(y)] |= uint64_t{1} << k;
        if (c.bInvalidate)
            rows.InvalidateAll();
        const bool bAny = rows.UpdateChunks(hot.data());
        std::string strSent;
        for (int y = 0; y < nHeight; ++y)
        {
            for (int k = 0; k < nChunks; ++k)
                strSent += rows.IsChunkChanged(y, k) ? '1' : '0';
            if (y + 1 < nHeight)
                strSent += '|';
        }
        EXPECT_EQ(strSent, c.pszSent) << "case " << nCase;
        EXPECT_EQ(bAny, strSent.find('1') != std::string::npos) << "case " << nCase;
        ++nCase;
    }
}

// Rectangles: the runs of changed rows, each cut at the row limit, hold the union of their
// rows' chunks, runs apart by no more than the gap merged, the last chunk cut at the width.
TEST(ChangedRows, CoversChangedChunksWithFewRectangles)
{
    const int nWidth = 600; // ten chunks, the last of 24 pixels
    CChangedRows rows;
    rows.Reset(nWidth, 5);
    std::vector<uint64_t> hot(5, 0);
    rows.UpdateChunks(hot.data()); // the first frame is whole
    rows.UpdateChunks(hot.data());
    hot = {0b0000000011, 0b0000001000, 0, 0b1000000001, 0b1000000000};
    rows.UpdateChunks(hot.data());
    using Rects = std::vector<std::vector<int>>;
    auto collect = [&](int nMaxRows, int nGap)
    {
        Rects rects;
        rows.ForEachRect(nMaxRows, nGap,
                         [&](int x, int y, int w, int h) {
                             rects.push_back({x, y, w, h});
                         });
        return rects;
    };
    EXPECT_EQ(collect(8, 0),
              (Rects{{0, 0, 128, 2}, {192, 0, 64, 2}, {0, 3, 64, 2}, {576, 3, 24, 2}}));
    EXPECT_EQ(collect(8, 1), (Rects{{0, 0, 256, 2}, {0, 3, 64, 2}, {576, 3, 24, 2}}));
    EXPECT_EQ(collect(1, 9),
              (Rects{{0, 0, 128, 1}, {192, 1, 64, 1}, {0, 3, 600, 1}, {576, 4, 24, 1}}));
}

// Overlay frames as the engine composes them, heat only in flagged chunks: every pixel that
// differs from the frame before lies in a chunk that goes out, at widths whose rows are not a
// whole number of the overlay's four-pixel groups too.
TEST(ChangedRows, SendsEveryPixelTheOverlayChanged)
{
    std::mt19937 random(19);
    for (int nWidth : {64, 66, 130, 193, 258, 321})
    {
        const int nHeight = 5;
        const size_t nCount = static_cast<size_t>(nWidth) * nHeight;
        const int nChunks = FlameChunksPerRow(nWidth);
        const int nWords = FlameHotWordsPerRow(nWidth);
        std::vector<uint8_t> desktop(nCount + OVERLAY_READ_AHEAD);
        for (uint8_t& b : desktop)
            b = static_cast<uint8_t>(random() % 8); // a grey of the colour group
        std::vector<uint8_t> flame(nCount), shown(nCount), frame(nCount);
        CChangedRows rows;
        rows.Reset(nWidth, nHeight);
        int nMissed = 0;
        for (int nFrame = 0; nFrame < 60; ++nFrame)
        {
            std::vector<uint64_t> hot(static_cast<size_t>(nHeight) * nWords, 0);
            std::fill(flame.begin(), flame.end(), 0);
            for (int y = 0; y < nHeight; ++y)
                for (int c = 0; c < nChunks; ++c)
                {
                    if (random() % 3 != 0)
                        continue;
                    hot[static_cast<size_t>(y) * nWords + c / 64] |= uint64_t{1} << (c % 64);
                    for (int x = c * FLAME_CHUNK; x < std::min(nWidth, (c + 1) * FLAME_CHUNK); ++x)
                        flame[static_cast<size_t>(y) * nWidth + x] = static_cast<uint8_t>(random());
                }
            ComposeOverlayFrame(frame.data(), flame.data(), desktop.data(), nWidth, nHeight,
                                hot.data());
            rows.UpdateChunks(hot.data());
            for (int y = 0; y < nHeight; ++y)
                for (int x = 0; x < nWidth; ++x)
                {
                    const size_t i = static_cast<size_t>(y) * nWidth + x;
                    if (rows.IsChunkChanged(y, x / FLAME_CHUNK))
                        shown[i] = frame[i];
                    nMissed += shown[i] != frame[i] ? 1 : 0;
                }
        }
        EXPECT_EQ(nMissed, 0) << "width " << nWidth;
    }
}

// Compared with the frame the screen shows, only the flagged chunks whose bytes differ go, and
// the copy of the shown frame follows them: the first frame is copied whole, then a pixel
// changed in the second chunk of the top row and one in the last, narrower, chunk of the bottom
// row leave just those two, a row with no difference is not sent, and the same frame again
// sends nothing although every chunk is still flagged.
TEST(ChangedRows, KeepsOnlyTheChunksThatDifferFromTheShownFrame)
{
    const int nWidth = 200, nHeight = 3; // four chunks a row, the last of 8 pixels
    CChangedRows rows;
    rows.Reset(nWidth, nHeight);
    std::vector<uint64_t> hot(nHeight, 0b1111);
    std::vector<uint8_t> frame(nWidth * nHeight), shown(frame.size(), 0xEE);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i * 7);
    using Rects = std::vector<std::vector<int>>;
    auto send = [&]
    {
        Rects rects;
        if (rows.UpdateChunks(hot.data()))
        {
            rows.KeepDiffering(frame.data(), shown.data());
            rows.ForEachRect(nHeight, 0,
                             [&](int x, int y, int w, int h) {
                                 rects.push_back({x, y, w, h});
                             });
        }
        EXPECT_EQ(shown, frame);
        return rects;
    };
    EXPECT_EQ(send(), (Rects{{0, 0, 200, 3}}));
    frame[70] ^= 1;
    frame[2 * nWidth + 199] ^= 1;
    EXPECT_EQ(send(), (Rects{{64, 0, 64, 1}, {192, 2, 8, 1}}));
    EXPECT_FALSE(rows.IsChanged(1));
    EXPECT_EQ(send(), Rects{});
}
} // namespace
