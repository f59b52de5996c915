// The engine's Windows platform takes its desktop snapshot of the area it was given: a
// monitor's, which on any monitor but the primary starts away from the screen's origin.
#include "Afx.h"
#include "CBitmap24.h"
#include "CWin32EnginePlatform.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

namespace
{
// A topmost popup painted in one colour by its class brush.
HWND ColouredWindow(COLORREF colour, int nLeft, int nTop, int nWidth, int nHeight)
{
    LPCSTR lpszClass = AfxRegisterWndClass(0, nullptr, ::CreateSolidBrush(colour));
    return ::CreateWindowExA(WS_EX_TOPMOST, lpszClass, "", WS_POPUP | WS_VISIBLE, nLeft, nTop,
                             nWidth, nHeight, nullptr, nullptr, nullptr, nullptr);
}

TEST(EnginePlatform, SnapshotIsOfItsOwnArea)
{
    const int nTop = 100, nHeight = 96, nHalf = 64;
    HWND hRed = ColouredWindow(RGB(255, 0, 0), 200, nTop, 2 * nHalf, nHeight);
    HWND hBlue = ColouredWindow(RGB(0, 0, 255), 200 + 2 * nHalf, nTop, 2 * nHalf, nHeight);
    ASSERT_NE(hRed, nullptr);
    ASSERT_NE(hBlue, nullptr);
    PumpMessagesFor(300);

    // The area straddles the two windows: red on its left half, blue on its right.
    CWin32EnginePlatform platform(200 + nHalf, nTop, 2 * nHalf, nHeight);
    CBitmap24 picture;
    ASSERT_TRUE(platform.CaptureScreen(32, 32, picture));
    ASSERT_EQ(picture.GetWidth(), 2 * nHalf);
    ASSERT_EQ(picture.GetHeight(), nHeight);
    for (int y : {0, nHeight / 2, nHeight - 1})
    {
        for (int x : {0, nHalf - 1, nHalf, 2 * nHalf - 1})
        {
            const uint8_t* pPixel = picture.GetRow(y) + 3 * x; // blue, green, red
            const bool bRed = x < nHalf;
            EXPECT_EQ(pPixel[0], bRed ? 0 : 255) << x << "," << y;
            EXPECT_EQ(pPixel[1], 0) << x << "," << y;
            EXPECT_EQ(pPixel[2], bRed ? 255 : 0) << x << "," << y;
        }
    }
    ::DestroyWindow(hRed);
    ::DestroyWindow(hBlue);
}
} // namespace
