#include "CBitmap24.h"
#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "EngineTestSupport.h"
#include "ResampleBitmap.h"
#include "TestSettings.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
using Bgr = std::array<uint8_t, 3>;

Bgr PixelAt(const CBitmap24& picture, int x, int nRow)
{
    const uint8_t* p = picture.GetRow(nRow) + 3 * x;
    return {p[0], p[1], p[2]};
}

int Blend(int a, int b, int w)
{
    return (a * (256 - w) + b * w) / 256;
}

CBitmap24 Resample(const CBitmap24& source, int nWidth, int nHeight)
{
    CBitmap24 dest;
    dest.Create(nWidth, nHeight);
    ResampleBitmap(dest, {0, 0, nWidth, nHeight}, source,
                   {0, 0, source.GetWidth(), source.GetHeight()});
    return dest;
}

TEST(ResampleBitmap, HalvingBlendsNeighboursWithWeight127)
{
    // t = 2i - 0.5: first index 2i - 1, weight 127, except the clamped first and the last.
    constexpr int W = 8, H = 6;
    const CBitmap24 source =
        MakePicture(2 * W, 2 * H,
                    [](int x, int y) {
                        return Bgr{static_cast<uint8_t>(10 * x), static_cast<uint8_t>(20 * y), 77};
                    });
    const CBitmap24 dest = Resample(source, W, H);
    for (int j = 0; j < H; ++j)
    {
        for (int i = 0; i < W; ++i)
        {
            const int c0 = i == 0 ? 0 : 2 * i - 1, wx = (i == 0 || i == W - 1) ? 0 : 127;
            const int r0 = j == 0 ? 0 : 2 * j - 1, wy = (j == 0 || j == H - 1) ? 0 : 127;
            const int nBlue = Blend(10 * c0, 10 * (c0 + 1), wx);
            const int nGreen = Blend(20 * r0, 20 * (r0 + 1), wy);
            EXPECT_EQ(PixelAt(dest, i, j),
                      (Bgr{static_cast<uint8_t>(nBlue), static_cast<uint8_t>(nGreen), 77}))
                << "column " << i << " row " << j;
        }
    }
}

TEST(ResampleBitmap, EqualSizeKeepsThePictureExceptTheFirstHalfStep)
{
    // t = i - 0.5: weight 127 between i - 1 and i; i = 0 and the last entry take one pixel.
    const CBitmap24 source =
        MakePicture(5, 4,
                    [](int x, int y) {
                        return Bgr{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(50 * y), 1};
                    });
    const CBitmap24 dest = Resample(source, 5, 4);
    EXPECT_EQ(PixelAt(dest, 0, 0), (Bgr{0, 0, 1}));
    EXPECT_EQ(PixelAt(dest, 1, 0), (Bgr{static_cast<uint8_t>(Blend(0, 40, 127)), 0, 1}));
    EXPECT_EQ(PixelAt(dest, 4, 3), (Bgr{120, 100, 1}));
}

TEST(ResampleBitmap, NeverReadsOutsideTheSourceWhateverTheSizes)
{
    // A uniform picture must stay exactly uniform: any read of row padding, of a row beyond
    // the last or of a weight that wrapped would change some pixel.
    const int sizes[][4] = {{1, 1, 64, 48},    {3, 2, 100, 17},  {5, 7, 16, 16},   {7, 5, 3, 2},
                            {640, 3, 17, 40},  {17, 480, 33, 1}, {2, 2, 1000, 3},  {33, 31, 32, 30},
                            {1024, 768, 5, 5}, {13, 11, 26, 22}, {101, 1, 16, 16}, {1, 101, 64, 3}};
    for (const auto& s : sizes)
    {
        SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3]);
        CBitmap24 source = MakePicture(s[0], s[1], [](int, int) { return Bgr{200, 100, 50}; });
        // Poison the row padding, which a stray column read would pick up.
        for (int y = 0; y < s[1]; ++y)
            std::fill(source.GetRow(y) + 3 * s[0], source.GetRow(y) + source.GetStride(), 0);
        const CBitmap24 dest = Resample(source, s[2], s[3]);
        for (int y = 0; y < s[3]; ++y)
            for (int x = 0; x < s[2]; ++x)
                ASSERT_EQ(PixelAt(dest, x, y), (Bgr{200, 100, 50})) << x << ", " << y;
    }
}

class DesktopCapture : public testing::Test
{
protected:
    void SetUp() override { ResetEngineGlobals(); }

    std::vector<uint8_t> Capture(const CBitmap24& screen, int nWidth, int nHeight)
    {
        m_platform.SetScreen(screen);
        CTestSettings settings(nWidth, nHeight);
        CVulkara engine(m_platform);
        EXPECT_TRUE(engine.Init(settings.Bare()));
        uint8_t* pDesktop = nullptr;
        engine.GetBuffer(1, &pDesktop, nullptr);
        return std::vector<uint8_t>(pDesktop, pDesktop + nWidth * (nHeight + 1));
    }

    CNativeEnginePlatform m_platform;
};

TEST_F(DesktopCapture, AtScreenSizeGreyIsTheChannelSumOver96TopRowFirst)
{
    constexpr int W = 16, H = 16;
    // Channel sums 95, 96, 765 and a ramp; memory row 0 is the bottom of the screen.
    const CBitmap24 screen =
        MakePicture(W, H,
                    [](int x, int y)
                    {
                        if (x == 0)
                            return Bgr{95, 0, 0};
                        if (x == 1)
                            return Bgr{32, 32, 32};
                        if (x == 2)
                            return Bgr{255, 255, 255};
                        return Bgr{static_cast<uint8_t>(15 * y), static_cast<uint8_t>(x), 0};
                    });
    const std::vector<uint8_t> desktop = Capture(screen, W, H);
    for (int y = 0; y < H; ++y)
    {
        const int nMemoryRow = H - 1 - y;
        EXPECT_EQ(desktop[y * W + 0], 0);
        EXPECT_EQ(desktop[y * W + 1], 1);
        EXPECT_EQ(desktop[y * W + 2], 7);
        for (int x = 3; x < W; ++x)
            EXPECT_EQ(desktop[y * W + x], (15 * nMemoryRow + x) / 96) << x << ", " << y;
    }
    for (int x = 0; x < W; ++x)
        EXPECT_EQ(desktop[H * W + x], 0) << "the extra row is zero";
}

TEST_F(DesktopCapture, ADifferentScreenSizeIsResampledAndTheOrientationKept)
{
    // Top half of the screen white, bottom half black, at twice the frame size.
    constexpr int W = 20, H = 16;
    const CBitmap24 screen = MakePicture(2 * W, 2 * H,
                                         [](int, int y) {
                                             return y >= H ? Bgr{255, 255, 255} : Bgr{0, 0, 0};
                                         });
    const std::vector<uint8_t> desktop = Capture(screen, W, H);
    EXPECT_EQ(desktop[0], 7);
    EXPECT_EQ(desktop[(H / 2 - 2) * W + 5], 7);
    EXPECT_EQ(desktop[(H / 2 + 1) * W + 5], 0);
    EXPECT_EQ(desktop[(H - 1) * W + W - 1], 0);
}

TEST_F(DesktopCapture, WithoutAScreenTheDesktopIsBlackAndAFailedCaptureFailsInit)
{
    m_platform.ClearScreen();
    CTestSettings settings(40, 30);
    {
        CVulkara engine(m_platform);
        ASSERT_TRUE(engine.Init(settings));
        uint8_t* pDesktop = nullptr;
        engine.GetBuffer(1, &pDesktop, nullptr);
        EXPECT_EQ(std::count(pDesktop, pDesktop + 40 * 31, 0), 40 * 31);
    }
    m_platform.SetCaptureFails(true);
    for (int nFade : {0, 2})
    {
        CVulkara engine(m_platform);
        EXPECT_FALSE(engine.Init(settings.Set(SETTING_FADE_SCREEN, nFade)));
    }
}
} // namespace
