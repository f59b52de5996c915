// Frames of the engine's packed rows reach strided surfaces and GDI bitmaps as straight
// pictures, whatever the width.
#include "FrameRows.h"

#include <windows.h>

#include <gtest/gtest.h>

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

// The rows GDI reads from an 8-bit bitmap: draw the spread frame in bands through
// SetDIBitsToDevice, with colour i = red i, into a 32-bit section and read every pixel back.
TEST(FrameRows, GdiShowsAStraightPictureAtEveryWidth)
{
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

        struct
        {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info = {};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = nWidth;
        info.header.biHeight = -nHeight;
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        info.header.biCompression = BI_RGB;
        for (int i = 0; i < 256; ++i)
            info.colours[i].rgbRed = static_cast<BYTE>(i);

        BITMAPINFO target = {};
        target.bmiHeader = info.header;
        target.bmiHeader.biBitCount = 32;
        void* pPixels = nullptr;
        HDC hMemory = ::CreateCompatibleDC(nullptr);
        HBITMAP hTarget =
            ::CreateDIBSection(hMemory, &target, DIB_RGB_COLORS, &pPixels, nullptr, 0);
        ASSERT_NE(hTarget, nullptr);
        HGDIOBJ hOld = ::SelectObject(hMemory, hTarget);
        // Bands of two rows, the last one short, as the saver copies a frame.
        EXPECT_TRUE(SetDIBitsInBands(hMemory, nWidth, nHeight, bits.data(), nStride,
                                     reinterpret_cast<BITMAPINFO*>(&info), 2));
        EXPECT_EQ(info.header.biHeight, -nHeight);
        ::GdiFlush();
        const RGBQUAD* pOut = static_cast<const RGBQUAD*>(pPixels);
        int nWrong = 0;
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                if (pOut[y * nWidth + x].rgbRed != x * 16 + y)
                    ++nWrong;
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
            EXPECT_LE(nRows * nRowBytes, BUDGET) << nWidth;
        EXPECT_GT((nRows + 1) * nRowBytes, BUDGET) << nWidth;
    }
}
