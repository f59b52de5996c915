// The GDI output on a real window: what reaches the screen, frame after frame.
#include "CGdiOutput.h"
#include "FlameKernels.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The GDI output on a window at the display's own size (no mode change): what it sends, from
// its own bitmap and from the engine's memory, and of a frame of half the size stretched over
// the window, where each chunk covers twice the pixels each way. The frames are drawn as the
// engine draws them, every pixel, with the hot chunk in a colour of its own in each frame.
TEST(GdiOutput, SendsOnlyChangedChunksAndAWholeFrameAfterAHold)
{
    const int nWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int nHeight = ::GetSystemMetrics(SM_CYSCREEN);
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, nWidth, nHeight,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    std::vector<PALETTEENTRY> palette(256);
    const struct
    {
        bool bInPlace;
        int k; // screen pixels an engine pixel, each way
    } cases[] = {{false, 1}, {true, 1}, {true, 2}};
    for (const auto& c : cases)
    {
        const bool bInPlace = c.bInPlace;
        const int k = c.k;
        SCOPED_TRACE(testing::Message() << (bInPlace ? "in place" : "rendered") << ", " << k
                                        << " screen pixels an engine pixel");
        CGdiOutput output;
        const int nFrameWidth = nWidth / k, nFrameHeight = nHeight / k;
        ASSERT_TRUE(k == 1 ? output.Create(hWnd, nWidth, nHeight, palette.data())
                           : output.CreateStretched(hWnd, nFrameWidth, nFrameHeight, nWidth,
                                                    nHeight, palette.data()));
        const int nWords = FlameHotWordsPerRow(nFrameWidth);
        std::vector<uint8_t> warm(nFrameHeight, 0);
        std::vector<uint64_t> hot(static_cast<size_t>(nFrameHeight) * nWords, 0);
        auto setHot = [&](int y, bool bHot)
        {
            hot[static_cast<size_t>(y) * nWords] = bHot ? 2 : 0; // the second chunk
            warm[y] = bHot;
        };
        using Rects = std::vector<std::vector<LONG>>;
        // A rectangle of the frame as the window shows it.
        auto shown = [k](LONG x0, LONG y0, LONG x1, LONG y1) {
            return std::vector<LONG>{k * x0, k * y0, k * x1, k * y1};
        };
        uint8_t nColour = 0;
        std::vector<uint8_t> own(static_cast<size_t>(nFrameWidth) * nFrameHeight);
        auto frame = [&]
        {
            ++nColour;
            auto draw = [&](uint8_t* pBits)
            {
                for (int y = 0; y < nFrameHeight; ++y)
                    for (int x = 0; x < nFrameWidth; ++x)
                        pBits[static_cast<size_t>(y) * nFrameWidth + x] =
                            warm[y] && x >= 64 && x < 128 ? nColour : 0;
            };
            if (bInPlace)
            {
                EXPECT_TRUE(output.ShowsFramesInPlace());
                draw(own.data());
                output.ShowInPlace(own.data(), warm.data(), hot.data());
            }
            else if (uint8_t* pBits = output.BeginFrame(warm.data(), hot.data()))
            {
                draw(pBits);
                EXPECT_TRUE(output.EndFrame(true));
            }
            Rects rects;
            for (const RECT& rc : output.GetLastRects())
                rects.push_back({rc.left, rc.top, rc.right, rc.bottom});
            return rects;
        };
        auto whole = [&]
        {
            const Rects rects = frame();
            int nCovered = 0;
            for (const auto& rc : rects)
            {
                EXPECT_EQ(rc[0], 0);
                EXPECT_EQ(rc[2], nWidth);
                EXPECT_EQ(rc[1], nCovered);
                nCovered = rc[3];
            }
            return nCovered == nHeight;
        };

        EXPECT_TRUE(whole());
        EXPECT_EQ(frame(), Rects{});
        setHot(10, true);
        setHot(11, true);
        EXPECT_EQ(frame(), (Rects{shown(64, 10, 128, 12)}));
        setHot(10, false);
        EXPECT_EQ(frame(), (Rects{shown(64, 10, 128, 12)}));
        setHot(11, false);
        EXPECT_EQ(frame(), (Rects{shown(64, 11, 128, 12)}));
        EXPECT_EQ(frame(), Rects{});
        setHot(20, true);
        EXPECT_EQ(frame(), (Rects{shown(64, 20, 128, 21)}));
        output.ShowHold();
        EXPECT_TRUE(whole());
        output.OnThreadEnd();
    }
    ::DestroyWindow(hWnd);
}

} // namespace
