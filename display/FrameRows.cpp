#include "FrameRows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace
{
constexpr int DIB_ROW_ALIGNMENT = 4;
constexpr size_t GDI_BAND_BYTES = 256 * 1024;
constexpr size_t SCREEN_BYTES_PER_PIXEL = 4;
} // namespace

int DibRowBytes(int nWidth)
{
    return (nWidth + DIB_ROW_ALIGNMENT - 1) / DIB_ROW_ALIGNMENT * DIB_ROW_ALIGNMENT;
}

void SpreadRows(uint8_t* pBuffer, int nWidth, int nHeight, int nStride)
{
    if (nStride == nWidth)
        return;
    // Bottom row first: every row moves towards the end, over rows already moved.
    for (int y = nHeight - 1; y > 0; --y)
        std::memmove(pBuffer + static_cast<long>(y) * nStride,
                     pBuffer + static_cast<long>(y) * nWidth, static_cast<size_t>(nWidth));
}

void CopyRows(uint8_t* pDest, long lPitch, const uint8_t* pSource, int nWidth, int nHeight)
{
    for (int y = 0; y < nHeight; ++y)
        std::memcpy(pDest + y * lPitch, pSource + static_cast<long>(y) * nWidth,
                    static_cast<size_t>(nWidth));
}

void FillRows(uint8_t* pDest, long lPitch, int nWidth, int nHeight, uint8_t nValue)
{
    for (int y = 0; y < nHeight; ++y)
        std::memset(pDest + y * lPitch, nValue, static_cast<size_t>(nWidth));
}

int GdiBandRows(int nWidth)
{
    const size_t nRowBytes = static_cast<size_t>(nWidth > 0 ? nWidth : 1) * SCREEN_BYTES_PER_PIXEL;
    return static_cast<int>(std::max<size_t>(1, GDI_BAND_BYTES / nRowBytes));
}

BOOL SetScreenPixelsRect(HDC hDC, int x, int nTop, int nWidth, int nRows, const uint8_t* pBits,
                         int nStride, const ColourTable& colours, uint32_t* pScratch)
{
    for (int y = nTop; y < nTop + nRows; ++y)
        LookUpColours(pScratch + static_cast<size_t>(y - nTop) * nWidth,
                      pBits + static_cast<size_t>(y) * nStride + x, nWidth, colours);
    return SetScreenPixels(hDC, x, nTop, nWidth, nRows, pScratch);
}

BOOL SetScreenPixels(HDC hDC, int x, int nTop, int nWidth, int nRows, const uint32_t* pPixels)
{
    BITMAPINFO info = {};
    BITMAPINFOHEADER& header = info.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nWidth;
    header.biHeight = -nRows; // top row first
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return ::SetDIBitsToDevice(hDC, x, nTop, static_cast<DWORD>(nWidth), static_cast<DWORD>(nRows),
                               0, 0, 0, static_cast<UINT>(nRows), pPixels, &info,
                               DIB_RGB_COLORS) > 0;
}
