// The GDI output on a real window: what reaches the screen, frame after frame.
#include "CGdiOutput.h"
#include "FlameKernels.h"
#include "ScreenCapture.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The GDI output on a window at the display's own size (no mode change): what it sends, from
// its own bitmap and from the engine's memory, and of a frame of half the size stretched over
// the window, where each chunk covers twice the pixels each way. The frames are drawn as the
// engine draws them, every pixel, with the hot chunk in a colour of its own in each frame.
// Before each frame the window is painted in a colour the scene does not have: what the screen
// then shows of the scene is what the frame sent, read back as rectangles of the rows' runs.
using Rects = std::vector<std::vector<LONG>>; // left, top, right, bottom

Rects SentRects(const CScreenImage& image, COLORREF mark)
{
    const uint32_t nMark = GetRValue(mark) << 16 | GetGValue(mark) << 8 | GetBValue(mark);
    Rects rects;
    std::vector<size_t> open; // the rectangles that reached the row above
    for (int y = 0; y < image.nHeight; ++y)
    {
        std::vector<size_t> reached;
        for (int x = 0; x < image.nWidth;)
        {
            if (image.At(x, y) == nMark)
            {
                ++x;
                continue;
            }
            int xEnd = x;
            while (xEnd < image.nWidth && image.At(xEnd, y) != nMark)
                ++xEnd;
            size_t i = 0;
            while (i < open.size() && (rects[open[i]][0] != x || rects[open[i]][2] != xEnd))
                ++i;
            if (i < open.size())
                rects[open[i]][3] = y + 1;
            else
                rects.push_back({x, y, xEnd, y + 1});
            reached.push_back(i < open.size() ? open[i] : rects.size() - 1);
            x = xEnd;
        }
        open = reached;
    }
    return rects;
}

TEST(GdiOutput, SendsOnlyChangedChunksAndAWholeFrameAfterAHold)
{
    const int nWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int nHeight = ::GetSystemMetrics(SM_CYSCREEN);
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, nWidth, nHeight,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    PumpMessagesFor(100); // the window's own first painting
    const COLORREF kMark = RGB(255, 0, 255);
    std::vector<PALETTEENTRY> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 0, 0};
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
            HDC hDC = ::GetDC(hWnd);
            const RECT all = {0, 0, nWidth, nHeight};
            HBRUSH hMark = ::CreateSolidBrush(kMark);
            ::FillRect(hDC, &all, hMark);
            ::DeleteObject(hMark);
            ::ReleaseDC(hWnd, hDC);
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
            ::GdiFlush();
            PumpMessagesFor(20); // the window's drawing reaches the screen
            return SentRects(CaptureClient(hWnd), kMark);
        };
        const Rects whole = {{0, 0, nWidth, nHeight}};

        EXPECT_EQ(frame(), whole);
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
        EXPECT_EQ(frame(), whole);
        output.OnThreadEnd();
    }
    ::DestroyWindow(hWnd);
}

} // namespace
