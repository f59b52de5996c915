#include "CChangedRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
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
