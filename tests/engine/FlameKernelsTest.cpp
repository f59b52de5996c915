#include "EngineTestSupport.h"
#include "FlameKernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
struct KernelSize
{
    int nWidth;
    int nHeight;
};

// Odd widths put every vector loop's tail, and every group tail, to work.
const KernelSize KERNEL_SIZES[] = {{130, 7}, {257, 5}, {1920, 3}, {2, 2},   {3, 5},   {15, 7},
                                   {16, 16}, {17, 16}, {31, 9},   {33, 33}, {63, 20}, {64, 3},
                                   {65, 11}, {97, 40}, {255, 17}, {640, 4}, {1001, 3}};

TEST(FlameKernels, PropagationMatchesTheLiteralLoopOnRandomBuffers)
{
    std::mt19937 random(11);
    for (const KernelSize& size : KERNEL_SIZES)
    {
        SCOPED_TRACE(testing::Message() << size.nWidth << " x " << size.nHeight);
        const size_t nBytes = static_cast<size_t>(size.nWidth) * (size.nHeight + 1);
        const std::vector<uint8_t> start = RandomBytes(random, nBytes);
        std::vector<uint8_t> expected = start;
        LiteralPropagate(expected.data(), size.nWidth, size.nHeight);

        std::vector<uint8_t> fast = start;
        PropagateFlame(fast.data(), size.nWidth, size.nHeight);
        EXPECT_EQ(fast, expected) << "the engine's choice";

        for (const FlameKernelVariant& variant : GetFlameKernelVariants())
        {
            std::vector<uint8_t> flame = start;
            variant.pPropagate(flame.data(), size.nWidth, size.nHeight);
            EXPECT_EQ(flame, expected) << variant.pszName;
        }
    }
}

TEST(FlameKernels, OverlayMatchesTheLiteralLoopOnRandomBuffers)
{
    std::mt19937 random(12);
    for (const KernelSize& size : KERNEL_SIZES)
    {
        SCOPED_TRACE(testing::Message() << size.nWidth << " x " << size.nHeight);
        const int nCount = size.nWidth * size.nHeight;
        const std::vector<uint8_t> flame = RandomBytes(random, nCount);
        // Any desktop bytes, not only grey levels: the byte sums must wrap like the loop's.
        const std::vector<uint8_t> desktop = RandomBytes(random, nCount + OVERLAY_READ_AHEAD);

        std::vector<uint8_t> expected(nCount);
        LiteralOverlay(expected.data(), flame.data(), desktop.data(), nCount);

        std::vector<uint8_t> fast(nCount);
        ComposeOverlay(fast.data(), flame.data(), desktop.data(), nCount);
        EXPECT_EQ(fast, expected) << "the engine's choice";

        for (const FlameKernelVariant& variant : GetFlameKernelVariants())
        {
            std::vector<uint8_t> out(nCount);
            variant.pOverlay(out.data(), flame.data(), desktop.data(), nCount);
            EXPECT_EQ(out, expected) << variant.pszName;
        }
    }
}

TEST(FlameKernels, RowZeroEqualsRowOneAndTheFirstSeedPixelBlendsWithTheRowBelow)
{
    constexpr int W = 37, H = 12;
    std::mt19937 random(3);
    std::vector<uint8_t> flame = RandomBytes(random, W * (H + 1));
    std::fill(flame.begin() + W * H, flame.end(), 0); // the extra row is zero
    const int nFirstSeed = flame[(H - 1) * W];
    const int nLastSeed = flame[H * W - 1];

    PropagateFlame(flame.data(), W, H);

    EXPECT_TRUE(std::equal(flame.begin(), flame.begin() + W, flame.begin() + W));
    // Its neighbours are the last seed pixel and two zeros of the extra row.
    EXPECT_EQ(flame[(H - 1) * W], (nFirstSeed + nLastSeed) / 4);
    EXPECT_EQ(flame[H * W - 1], nLastSeed); // the rest of the seed row is kept
}

TEST(FlameKernels, PixelOneOfARowSeesTheOldFirstPixelOfTheRowBelow)
{
    // Only (2, 0) is hot. Pass 1 computes (1, 1) from its old 200 and only then (2, 0).
    constexpr int W = 4, H = 4;
    std::vector<uint8_t> flame(W * (H + 1), 0);
    flame[2 * W] = 200;
    PropagateFlame(flame.data(), W, H);
    const std::vector<uint8_t> expected = {12, 50, 0, 0,  // row 0: a copy of row 1
                                           12, 50, 0, 0,  // (1, 0) = (0 + 50 + 0 + 0) / 4
                                           50, 0,  0, 0,  // (2, 0) = 200 / 4
                                           0,  0,  0, 0,  // seed row
                                           0,  0,  0, 0}; // extra row
    EXPECT_EQ(flame, expected);
}

TEST(FlameKernels, AUniformSeedSettlesAboutOneUnitLowerPerRow)
{
    constexpr int W = 64, H = 300, SEED = 200;
    std::vector<uint8_t> flame(W * (H + 1), 0);
    for (int step = 0; step < 1500; ++step)
    {
        std::fill(flame.begin() + (H - 1) * W, flame.begin() + H * W, SEED);
        PropagateFlame(flame.data(), W, H);
    }
    const auto Above = [&](int k) { return static_cast<int>(flame[(H - 1 - k) * W + W / 2]); };
    EXPECT_NEAR(Above(10), 190, 2);
    EXPECT_NEAR(Above(100), 101, 3);
    EXPECT_LE(Above(200), 5);
    for (int k = 250; k < H - 1; ++k)
        EXPECT_EQ(Above(k), 0) << k << " rows above the seed";
}

TEST(FlameKernels, OverlayOfAColdFlameShowsTheDesktopUnshiftedIncludingTheLastRow)
{
    constexpr int W = 17, H = 17, N = W * H; // N % 4 == 1: a group of one at the end
    std::mt19937 random(5);
    const std::vector<uint8_t> desktop = RandomBytes(random, N + OVERLAY_READ_AHEAD, 7);
    const std::vector<uint8_t> flame(N, 0);
    std::vector<uint8_t> out(N + 8, 0xAA);

    ComposeOverlay(out.data(), flame.data(), desktop.data(), N);

    EXPECT_TRUE(std::equal(out.begin(), out.begin() + N, desktop.begin()));
    for (int i = N; i < N + 8; ++i)
        EXPECT_EQ(out[i], 0xAA) << "written past the frame at " << i;
}

TEST(FlameKernels, HeatTwoHundredFiftyShowsTheDesktopSixtyTwoPixelsFurtherOn)
{
    constexpr int N = 256;
    std::vector<uint8_t> desktop(N + OVERLAY_READ_AHEAD);
    for (size_t i = 0; i < desktop.size(); ++i)
        desktop[i] = static_cast<uint8_t>(i % 8);
    std::vector<uint8_t> flame(N, 0);
    flame[40] = 250; // the first pixel of group 10 decides the group's shift
    flame[41] = 19;
    std::vector<uint8_t> out(N);

    ComposeOverlay(out.data(), flame.data(), desktop.data(), N);

    EXPECT_EQ(out[40], 248 + desktop[40 + 62]);
    EXPECT_EQ(out[41], 16 + desktop[41 + 62]);
    EXPECT_EQ(out[42], desktop[42 + 62]);
    EXPECT_EQ(out[43], desktop[43 + 62]);
    EXPECT_EQ(out[44], desktop[44]); // the next group is cold again
}
} // namespace
