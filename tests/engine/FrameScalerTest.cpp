#include "CFrameScaler.h"
#include "FireSize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace
{
TEST(FireSizeTest, ClassicSizeKeepsTheAspectAtMost1024Wide)
{
    const struct
    {
        int nWidth, nHeight, nExpectedWidth, nExpectedHeight;
    } cases[] = {
        {640, 480, 640, 480},     {800, 600, 800, 600},    {1024, 768, 1024, 768},
        {1024, 1280, 1024, 1280}, {1600, 1200, 1024, 768}, {1920, 1080, 1024, 576},
        {3840, 2160, 1024, 576},  {1920, 1200, 1024, 640}, {2560, 1080, 1024, 432},
        {3440, 1440, 1024, 429},  {1280, 1024, 1024, 819}, {1080, 1920, 1024, 1820},
        {2160, 3840, 1024, 1820}, {1025, 1, 1024, 1},      {100000, 1, 1024, 1},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(ClassicSize(c.nWidth, c.nHeight),
                  (FrameSize{c.nExpectedWidth, c.nExpectedHeight}))
            << c.nWidth << "x" << c.nHeight;
    }

    // Every wider screen: 1024 wide, the height the nearest whole row to the exact one.
    std::mt19937 random(11);
    for (int i = 0; i < 2000; ++i)
    {
        const int nWidth = std::uniform_int_distribution<int>(1025, 16384)(random);
        const int nHeight = std::uniform_int_distribution<int>(1, 16384)(random);
        const FrameSize size = ClassicSize(nWidth, nHeight);
        ASSERT_EQ(size.nWidth, CLASSIC_MAX_WIDTH);
        const double dExact = static_cast<double>(nHeight) * CLASSIC_MAX_WIDTH / nWidth;
        ASSERT_LE(std::abs(size.nHeight - dExact), dExact < 1 ? 1.0 : 0.5)
            << nWidth << "x" << nHeight;
    }
}

TEST(FireSizeTest, ValuesAndEngineSizes)
{
    EXPECT_EQ(FireSizeFromValue(0), FIRE_SIZE_SCREEN_PIXELS);
    EXPECT_EQ(FireSizeFromValue(1), FIRE_SIZE_CLASSIC);
    EXPECT_EQ(FireSizeFromValue(2), FIRE_SIZE_SCREEN_PIXELS);
    EXPECT_EQ(FireSizeFromValue(-1), FIRE_SIZE_SCREEN_PIXELS);
    EXPECT_EQ(EngineSizeFor(FIRE_SIZE_SCREEN_PIXELS, 1920, 1080), (FrameSize{1920, 1080}));
    EXPECT_EQ(EngineSizeFor(FIRE_SIZE_CLASSIC, 1920, 1080), (FrameSize{1024, 576}));
}

std::uint8_t Pattern(int x, int y)
{
    return static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF);
}

// The rule written out in real numbers: the source pixel whose area holds the centre.
int CentreSource(int nDest, int nDestSize, int nSourceSize)
{
    return static_cast<int>(std::floor((nDest + 0.5) * nSourceSize / nDestSize));
}

TEST(FrameScalerTest, EveryDestinationPixelTakesTheSourcePixelUnderItsCentre)
{
    constexpr std::uint8_t GUARD = 0xEE;
    constexpr int PITCH_SLACK = 5;
    const struct
    {
        int nSourceWidth, nSourceHeight, nDestWidth, nDestHeight;
        bool bBottomUp;
    } cases[] = {
        {1024, 576, 1920, 1080, false},
        {1024, 576, 3840, 2160, false},
        {1024, 768, 2048, 768, true},
        {100, 50, 300, 150, false},
        {1024, 768, 1024, 768, false},
        {7, 5, 13, 11, true},
        {640, 480, 153, 113, false},
        {5, 3, 1, 1, false},
        {1024, 429, 3440, 1440, false},
        {3, 2, 24, 16, false},
        {3, 2, 25, 3, true},
        {10, 4, 23, 9, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nSourceWidth << "x" << c.nSourceHeight << " to "
                                        << c.nDestWidth << "x" << c.nDestHeight);
        std::vector<std::uint8_t> source(static_cast<std::size_t>(c.nSourceWidth) *
                                         c.nSourceHeight);
        for (int y = 0; y < c.nSourceHeight; ++y)
            for (int x = 0; x < c.nSourceWidth; ++x)
                source[static_cast<std::size_t>(y) * c.nSourceWidth + x] = Pattern(x, y);

        const int nPitch = c.nDestWidth + PITCH_SLACK;
        std::vector<std::uint8_t> dest(static_cast<std::size_t>(nPitch) * c.nDestHeight, GUARD);
        CFrameScaler scaler;
        ASSERT_TRUE(scaler.Configure(c.nSourceWidth, c.nSourceHeight, c.nDestWidth, c.nDestHeight));
        // A bottom-up picture is handed over by its top row, the last in memory.
        std::uint8_t* pTop =
            c.bBottomUp ? dest.data() + static_cast<std::size_t>(nPitch) * (c.nDestHeight - 1)
                        : dest.data();
        scaler.Scale(source.data(), pTop, c.bBottomUp ? -nPitch : nPitch);

        const int nFactorX = c.nDestWidth % c.nSourceWidth == 0 ? c.nDestWidth / c.nSourceWidth : 0;
        const int nFactorY =
            c.nDestHeight % c.nSourceHeight == 0 ? c.nDestHeight / c.nSourceHeight : 0;
        int nWrong = 0;
        for (int y = 0; y < c.nDestHeight && nWrong < 5; ++y)
        {
            const std::uint8_t* pRow =
                pTop + static_cast<std::ptrdiff_t>(c.bBottomUp ? -nPitch : nPitch) * y;
            const int nSourceY = CentreSource(y, c.nDestHeight, c.nSourceHeight);
            ASSERT_EQ(scaler.GetSourceRow(y), nSourceY) << "row " << y;
            for (int x = 0; x < c.nDestWidth; ++x)
            {
                const int nSourceX = CentreSource(x, c.nDestWidth, c.nSourceWidth);
                if (pRow[x] != Pattern(nSourceX, nSourceY))
                {
                    ADD_FAILURE() << "pixel " << x << "," << y;
                    ++nWrong;
                }
                // Whole-number factors repeat each source pixel exactly k times.
                if (nFactorX != 0 && nFactorY != 0)
                {
                    EXPECT_EQ(pRow[x], Pattern(x / nFactorX, y / nFactorY)) << x << "," << y;
                }
            }
            for (int x = c.nDestWidth; x < nPitch; ++x)
                ASSERT_EQ(pRow[x], GUARD) << "written past the row end at " << x << "," << y;
        }
    }
}

// The 32-bit stretch of a part of the frame: the part of the destination whose centres fall in
// the source rectangle, each pixel the colour of the source pixel under its centre, nothing
// written past the part's width.
TEST(FrameScalerTest, ColoursOfAPartAreThoseOfTheSourcePixelsUnderTheirCentres)
{
    constexpr std::uint32_t GUARD = 0xDEADBEEF;
    constexpr int PITCH_SLACK = 3;
    std::uint32_t aColours[256];
    for (std::uint32_t i = 0; i < 256; ++i)
        aColours[i] = i << 16 | (255 - i) << 8 | (i ^ 0x5A);
    ColourTable table;
    MakeColourTable(table, aColours);
    const struct
    {
        int nSourceWidth, nSourceHeight, nDestWidth, nDestHeight, x0, y0, x1, y1;
    } cases[] = {
        {1024, 576, 3840, 2160, 0, 0, 1024, 576},   // the whole frame, 3.75 times
        {1024, 576, 3840, 2160, 64, 500, 960, 576}, // chunks 1 to 14 of the bottom rows
        {1024, 384, 2048, 768, 1000, 383, 1024, 384},
        {3, 2, 25, 3, 1, 0, 3, 2}, // runs of 8 and 9 copies
        {7, 5, 13, 11, 2, 1, 5, 4},
        {640, 480, 153, 113, 100, 7, 531, 400}, // shrinking
        {1024, 768, 1024, 768, 5, 5, 6, 6},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nSourceWidth << "x" << c.nSourceHeight << " to "
                                        << c.nDestWidth << "x" << c.nDestHeight << ", part " << c.x0
                                        << "," << c.y0 << " to " << c.x1 << "," << c.y1);
        std::vector<std::uint8_t> source(static_cast<std::size_t>(c.nSourceWidth) *
                                         c.nSourceHeight);
        for (int y = 0; y < c.nSourceHeight; ++y)
            for (int x = 0; x < c.nSourceWidth; ++x)
                source[static_cast<std::size_t>(y) * c.nSourceWidth + x] = Pattern(x, y);
        // The destination columns and rows whose centres lie in the part.
        std::vector<int> columns, rows;
        for (int x = 0; x < c.nDestWidth; ++x)
            if (int n = CentreSource(x, c.nDestWidth, c.nSourceWidth); n >= c.x0 && n < c.x1)
                columns.push_back(x);
        for (int y = 0; y < c.nDestHeight; ++y)
            if (int n = CentreSource(y, c.nDestHeight, c.nSourceHeight); n >= c.y0 && n < c.y1)
                rows.push_back(y);
        ASSERT_FALSE(columns.empty() || rows.empty());

        CFrameScaler scaler;
        ASSERT_TRUE(scaler.Configure(c.nSourceWidth, c.nSourceHeight, c.nDestWidth, c.nDestHeight));
        ASSERT_EQ(scaler.GetDestColumn(c.x0), columns.front());
        ASSERT_EQ(scaler.GetDestColumn(c.x1), columns.back() + 1);
        ASSERT_EQ(scaler.GetDestRow(c.y0), rows.front());
        ASSERT_EQ(scaler.GetDestRow(c.y1), rows.back() + 1);
        const int nWidth = static_cast<int>(columns.size());
        const int nPitch = nWidth + PITCH_SLACK;
        std::vector<std::uint32_t> dest(static_cast<std::size_t>(nPitch) * rows.size(), GUARD);
        scaler.ScaleColours(source.data(), c.x0, c.y0, c.x1, c.y1, table, dest.data(), nPitch);
        int nWrong = 0;
        for (std::size_t r = 0; r < rows.size() && nWrong < 5; ++r)
        {
            const int nSourceY = CentreSource(rows[r], c.nDestHeight, c.nSourceHeight);
            for (int i = 0; i < nPitch; ++i)
            {
                const std::uint32_t nGot = dest[r * nPitch + i];
                const std::uint32_t nWant =
                    i < nWidth
                        ? aColours[Pattern(CentreSource(columns[i], c.nDestWidth, c.nSourceWidth),
                                           nSourceY)]
                        : GUARD;
                if (nGot != nWant && ++nWrong <= 5)
                    ADD_FAILURE() << "pixel " << i << " of row " << r << ": " << std::hex << nGot
                                  << ", not " << nWant;
            }
        }
    }
}

TEST(FrameScalerTest, RefusesEmptySizes)
{
    CFrameScaler scaler;
    EXPECT_FALSE(scaler.Configure(0, 10, 10, 10));
    EXPECT_FALSE(scaler.Configure(10, 10, 10, -1));
    EXPECT_FALSE(scaler.IsConfigured());
    std::uint8_t byte = 7;
    scaler.Scale(&byte, &byte, 1); // an empty scaler writes nothing
    EXPECT_EQ(byte, 7);
}
} // namespace
