// Frames of the engine's packed rows reach strided surfaces and GDI bitmaps as straight
// pictures, whatever the width.
#include "FrameRows.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
// A frame whose pixel at (x, y) is x * 16 + y: each column and row is recognisable.
std::vector<uint8_t> TestFrame(int nWidth, int nHeight)
{
    std::vector<uint8_t> frame(static_cast<size_t>(nWidth * nHeight));
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            frame[static_cast<size_t>(y * nWidth + x)] = static_cast<uint8_t>(x * 16 + y);
    return frame;
}
} // namespace

TEST(FrameRows, CopyRowsHonoursThePitchAndLeavesThePaddingAlone)
{
    const int nWidth = 5, nHeight = 4;
    const long lPitch = 8;
    const std::vector<uint8_t> frame = TestFrame(nWidth, nHeight);
    std::vector<uint8_t> surface(static_cast<size_t>(lPitch * nHeight), 0xEE);
    CopyRows(surface.data(), lPitch, frame.data(), nWidth, nHeight);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < lPitch; ++x)
        {
            const uint8_t nExpected = x < nWidth ? static_cast<uint8_t>(x * 16 + y) : 0xEE;
            EXPECT_EQ(surface[static_cast<size_t>(y * lPitch + x)], nExpected) << x << "," << y;
        }

    FillRows(surface.data(), lPitch, nWidth, nHeight, 0);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < lPitch; ++x)
            EXPECT_EQ(surface[static_cast<size_t>(y * lPitch + x)], x < nWidth ? 0 : 0xEE);
}

// What reaches the screen from an 8-bit frame: the spread frame drawn in bands of two rows and
// then one rectangle anew, with colour i = red i, into a 32-bit section, every pixel read back.
TEST(FrameRows, GdiShowsAStraightPictureAtEveryWidth)
{
    uint32_t aColours[256];
    for (uint32_t i = 0; i < 256; ++i)
        aColours[i] = i << 16;
    ColourTable colours;
    MakeColourTable(colours, aColours);
    for (int nWidth : {1, 2, 3, 5, 6, 7, 8, 13})
    {
        const int nHeight = 9;
        const int nStride = DibRowBytes(nWidth);
        EXPECT_EQ(nStride % 4, 0) << nWidth;
        EXPECT_GE(nStride, nWidth) << nWidth;
        EXPECT_LT(nStride, nWidth + 4) << nWidth;

        std::vector<uint8_t> bits = TestFrame(nWidth, nHeight);
        bits.resize(static_cast<size_t>(nStride * nHeight));
        SpreadRows(bits.data(), nWidth, nHeight, nStride);

        BITMAPINFO target = {};
        target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        target.bmiHeader.biWidth = nWidth;
        target.bmiHeader.biHeight = -nHeight;
        target.bmiHeader.biPlanes = 1;
        target.bmiHeader.biBitCount = 32;
        target.bmiHeader.biCompression = BI_RGB;
        void* pPixels = nullptr;
        HDC hMemory = ::CreateCompatibleDC(nullptr);
        HBITMAP hTarget =
            ::CreateDIBSection(hMemory, &target, DIB_RGB_COLORS, &pPixels, nullptr, 0);
        ASSERT_NE(hTarget, nullptr);
        HGDIOBJ hOld = ::SelectObject(hMemory, hTarget);
        std::vector<uint32_t> scratch(static_cast<size_t>(nWidth * nHeight));
        for (int y = 0; y < nHeight; y += 2)
            EXPECT_TRUE(SetScreenPixelsRect(hMemory, 0, y, nWidth, std::min(2, nHeight - y),
                                            bits.data(), nStride, colours, scratch.data()));
        ::GdiFlush();
        uint32_t* pOut = static_cast<uint32_t*>(pPixels);
        int nWrong = 0;
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                if (pOut[y * nWidth + x] != aColours[static_cast<uint8_t>(x * 16 + y)])
                    ++nWrong;
        EXPECT_EQ(nWrong, 0) << "width " << nWidth;

        // A rectangle away from the origin lands where it belongs and nowhere else.
        std::fill(pOut, pOut + nWidth * nHeight, 0u);
        const int x0 = nWidth / 2, nRectWidth = (nWidth + 1) / 2, nTop = 3, nRows = 4;
        EXPECT_TRUE(SetScreenPixelsRect(hMemory, x0, nTop, nRectWidth, nRows, bits.data(), nStride,
                                        colours, scratch.data()));
        ::GdiFlush();
        nWrong = 0;
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
            {
                const bool bInside = x >= x0 && y >= nTop && y < nTop + nRows;
                if (pOut[y * nWidth + x] !=
                    (bInside ? aColours[static_cast<uint8_t>(x * 16 + y)] : 0))
                    ++nWrong;
            }
        EXPECT_EQ(nWrong, 0) << "width " << nWidth;
        ::SelectObject(hMemory, hOld);
        ::DeleteObject(hTarget);
        ::DeleteDC(hMemory);
    }
}

TEST(FrameRows, BandsStayUnderAQuarterMegabyteOfScreenPixels)
{
    // A band is at least one row, and more only while its 32-bit screen pixels fit the budget;
    // one row more would not.
    constexpr long BUDGET = 256 * 1024;
    constexpr long SCREEN_BYTES = 4;
    for (int nWidth : {1, 3, 640, 1023, 1024, 1366, 1920, 2560, 3840, 7680, 65536, 100000})
    {
        const long nRows = GdiBandRows(nWidth);
        const long nRowBytes = nWidth * SCREEN_BYTES;
        EXPECT_GE(nRows, 1) << nWidth;
        if (nRows > 1)
        {
            EXPECT_LE(nRows * nRowBytes, BUDGET) << nWidth;
        }
        EXPECT_GT((nRows + 1) * nRowBytes, BUDGET) << nWidth;
    }
}
