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

std::vector<uint64_t> NoneHot(int nWidth, int nHeight)
{
    return std::vector<uint64_t>(static_cast<size_t>(FlameHotWordsPerRow(nWidth)) * (nHeight + 1));
}

// Every chunk flagged: nothing may be skipped.
std::vector<uint64_t> AllHot(int nWidth, int nHeight)
{
    std::vector<uint64_t> hot = NoneHot(nWidth, nHeight);
    FlagFlameChunks(hot.data(), nWidth, 0, 0, nWidth - 1, nHeight);
    return hot;
}

void Propagate(std::vector<uint8_t>& flame, int nWidth, int nHeight)
{
    std::vector<uint64_t> hot = AllHot(nWidth, nHeight);
    PropagateFlame(flame.data(), nWidth, nHeight, hot.data());
}

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
        Propagate(fast, size.nWidth, size.nHeight);
        EXPECT_EQ(fast, expected) << "the engine's choice";

        for (const FlameKernelVariant& variant : GetFlameKernelVariants())
        {
            std::vector<uint8_t> flame = start;
            std::vector<uint64_t> hot = AllHot(size.nWidth, size.nHeight);
            variant.pPropagate(flame.data(), size.nWidth, size.nHeight, hot.data());
            EXPECT_EQ(flame, expected) << variant.pszName;
            EXPECT_EQ(FindUnflaggedHeat(flame.data(), hot.data(), size.nWidth, size.nHeight), "")
                << variant.pszName;
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

    Propagate(flame, W, H);

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
    Propagate(flame, W, H);
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
        Propagate(flame, W, H);
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

namespace
{
// Heat dropped here and there between steps, flagged as the particles flag it, often where
// chunks and rows meet: the flags carried from step to step must never let a kernel skip a
// chunk whose bytes would change.
TEST(FlameKernels, SkippingColdChunksChangesNoByteOverManySteps)
{
    // Past 64 chunks a row's flags take two words; 4230 ends with part of a chunk, 4224 with a
    // whole one.
    const KernelSize sizes[] = {{2, 9},    {3, 6},    {17, 12},  {64, 10},  {65, 12},  {66, 9},
                                {127, 8},  {128, 20}, {129, 7},  {130, 15}, {193, 11}, {257, 9},
                                {640, 30}, {1001, 6}, {4230, 5}, {4224, 4}};
    std::mt19937 random(21);
    const auto Pick = [&random](int nMin, int nMax)
    { return std::uniform_int_distribution<int>(nMin, nMax)(random); };

    for (const FlameKernelVariant& variant : GetFlameKernelVariants())
    {
        for (const KernelSize& size : sizes)
        {
            const int W = size.nWidth, H = size.nHeight;
            SCOPED_TRACE(testing::Message() << variant.pszName << ", " << W << " x " << H);
            std::vector<uint8_t> flame(static_cast<size_t>(W) * (H + 1), 0);
            std::vector<uint64_t> hot = NoneHot(W, H);
            std::vector<uint8_t> expected = flame;
            for (int step = 0; step < 60; ++step)
            {
                for (int nSpots = Pick(0, 4); nSpots > 0; --nSpots)
                {
                    const int edges[] = {0,
                                         1,
                                         W - 1,
                                         W - 2,
                                         FLAME_CHUNK - 1,
                                         FLAME_CHUNK,
                                         64 * FLAME_CHUNK - 1,
                                         64 * FLAME_CHUNK};
                    const int x = std::min(W - 1, Pick(0, 1) ? edges[Pick(0, 7)] : Pick(0, W - 1));
                    const int y = Pick(0, 2) ? Pick(H - 3, H - 1) : Pick(0, H - 1);
                    const uint8_t nHeat = static_cast<uint8_t>(Pick(1, 255));
                    flame[static_cast<size_t>(y) * W + x] = nHeat;
                    expected[static_cast<size_t>(y) * W + x] = nHeat;
                    FlagFlameChunks(hot.data(), W, x, y, x, y);
                }
                LiteralPropagate(expected.data(), W, H);
                variant.pPropagate(flame.data(), W, H, hot.data());
                ASSERT_EQ(flame, expected) << "step " << step;
                ASSERT_EQ(FindUnflaggedHeat(flame.data(), hot.data(), W, H), "") << "step " << step;
            }
        }
    }
}

TEST(FlameKernels, ChunksThatHeatCannotReachStayFlaggedCold)
{
    // A hot seed pixel in chunk 0 spreads a pixel sideways per row; going left it wraps to the
    // ends of the rows above, in the last chunk. The chunks between stay cold.
    constexpr int W = 640, H = 50, X = 10;
    const int nChunks = FlameChunksPerRow(W);
    for (const FlameKernelVariant& variant : GetFlameKernelVariants())
    {
        std::vector<uint8_t> flame(static_cast<size_t>(W) * (H + 1), 0);
        std::vector<uint64_t> hot = NoneHot(W, H);
        for (int step = 0; step < H; ++step)
        {
            flame[(H - 1) * W + X] = 255;
            FlagFlameChunks(hot.data(), W, X, H - 1, X, H - 1);
            variant.pPropagate(flame.data(), W, H, hot.data());
        }
        ASSERT_NE(flame[(H - 2) * W + X], 0) << variant.pszName << ": the heat rose";
        for (int y = 0; y <= H; ++y)
        {
            for (int j = 2; j < nChunks - 1; ++j)
                EXPECT_FALSE(IsFlameChunkFlagged(hot.data(), W, y, j * FLAME_CHUNK))
                    << variant.pszName << ": row " << y << ", chunk " << j;
        }
    }
}
} // namespace

namespace
{
// Sparse heat with exact flags, and the same with every chunk flagged: the frame functions
// must write what the per-pixel loops write, wherever the spans start and end, also when the
// overlay's groups of four straddle rows.
TEST(FlameKernels, WholeFramesSkipOnlyWhatTheFlagsSayIsCold)
{
    const KernelSize sizes[] = {{17, 9},  {63, 5},  {64, 5},  {65, 7},   {66, 6},
                                {127, 4}, {130, 9}, {257, 5}, {1001, 4}, {1920, 6}};
    std::mt19937 random(31);
    const auto Pick = [&random](int nMin, int nMax)
    { return std::uniform_int_distribution<int>(nMin, nMax)(random); };
    for (const KernelSize& size : sizes)
    {
        const int W = size.nWidth, H = size.nHeight, N = W * H;
        for (int nTrial = 0; nTrial < 30; ++nTrial)
        {
            SCOPED_TRACE(testing::Message() << W << " x " << H << ", trial " << nTrial);
            std::vector<uint8_t> flame(static_cast<size_t>(W) * (H + 1), 0);
            std::vector<uint64_t> hot = NoneHot(W, H);
            for (int nSpots = Pick(0, 6); nSpots > 0; --nSpots)
            {
                // Often a chunk's first or last pixel, in the first rows, whose spans start and
                // end at different places of the overlay's groups.
                const int edges[] = {0, FLAME_CHUNK - 1, FLAME_CHUNK, W - 1};
                const int x = std::min(W - 1, Pick(0, 1) ? edges[Pick(0, 3)] : Pick(0, W - 1));
                const int y = Pick(0, 1) ? Pick(0, 1) : Pick(0, H - 1);
                flame[static_cast<size_t>(y) * W + x] = static_cast<uint8_t>(Pick(1, 255));
                FlagFlameChunks(hot.data(), W, x, y, x, y);
            }
            const std::vector<uint8_t> desktop = RandomBytes(random, N + OVERLAY_READ_AHEAD);
            std::vector<uint8_t> expected(N);
            LiteralOverlay(expected.data(), flame.data(), desktop.data(), N);
            const std::vector<uint8_t> plain(flame.begin(), flame.begin() + N);

            for (const std::vector<uint64_t>& flags : {hot, AllHot(W, H)})
            {
                std::vector<uint8_t> out(N + 1, 0xAA);
                ComposeOverlayFrame(out.data(), flame.data(), desktop.data(), W, H, flags.data());
                EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
                EXPECT_EQ(out[N], 0xAA) << "written past the frame";

                std::fill(out.begin(), out.end(), 0xAA);
                CopyFlameFrame(out.data(), flame.data(), W, H, flags.data());
                EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out.begin()));
                EXPECT_EQ(out[N], 0xAA) << "written past the frame";
            }
        }
    }
}
} // namespace

namespace
{
// Chunks 63 and 64 of a row have their flags in different words; heat on either side of that
// border must still reach the row above.
TEST(FlameKernels, HeatCrossesTheBorderBetweenFlagWords)
{
    constexpr int W = 4230, H = 4;
    for (const int x : {64 * FLAME_CHUNK - 1, 64 * FLAME_CHUNK})
    {
        for (const FlameKernelVariant& variant : GetFlameKernelVariants())
        {
            SCOPED_TRACE(testing::Message() << variant.pszName << ", heat at " << x);
            std::vector<uint8_t> flame(static_cast<size_t>(W) * (H + 1), 0);
            std::vector<uint64_t> hot = NoneHot(W, H);
            flame[static_cast<size_t>(H - 2) * W + x] = 200;
            FlagFlameChunks(hot.data(), W, x, H - 2, x, H - 2);
            std::vector<uint8_t> expected = flame;
            LiteralPropagate(expected.data(), W, H);
            variant.pPropagate(flame.data(), W, H, hot.data());
            EXPECT_EQ(flame, expected);
        }
    }
}
} // namespace

TEST(FlameKernels, ColourLookUpMatchesTheTableAtEveryLength)
{
    std::mt19937 random(13);
    std::vector<uint32_t> colours(256);
    for (uint32_t& colour : colours)
        colour = static_cast<uint32_t>(random());
    ColourTable table;
    MakeColourTable(table, colours.data());
    for (int nCount : {0, 1, 63, 64, 65, 127, 128, 1000})
    {
        const std::vector<uint8_t> pixels = RandomBytes(random, static_cast<size_t>(nCount));
        std::vector<uint32_t> expected(static_cast<size_t>(nCount));
        for (int i = 0; i < nCount; ++i)
            expected[static_cast<size_t>(i)] = colours[pixels[static_cast<size_t>(i)]];
        for (const FlameKernelVariant& variant : GetFlameKernelVariants())
        {
            std::vector<uint32_t> out(static_cast<size_t>(nCount) + 1, 0xdeadbeef);
            variant.pLookUp(out.data(), pixels.data(), nCount, table);
            EXPECT_EQ(std::vector<uint32_t>(out.begin(), out.end() - 1), expected)
                << variant.pszName << ", " << nCount;
            EXPECT_EQ(out.back(), 0xdeadbeef) << variant.pszName << " wrote past the end";
        }
    }
}
