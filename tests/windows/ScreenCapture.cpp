#include "ScreenCapture.h"

#include <algorithm>

double CScreenImage::MeanBrightness(int nTop, int nBottom) const
{
    double dSum = 0;
    for (int y = nTop; y < nBottom; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            const uint32_t c = At(x, y);
            dSum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        }
    }
    const int nCount = (nBottom - nTop) * nWidth;
    return nCount > 0 ? dSum / nCount : 0;
}

bool CScreenImage::IsUniform() const
{
    return std::all_of(pixels.begin(), pixels.end(),
                       [this](uint32_t c) { return c == pixels.front(); });
}

CScreenImage CaptureClient(HWND hWnd)
{
    CScreenImage image;
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    POINT origin = {0, 0};
    ::ClientToScreen(hWnd, &origin);
    image.nWidth = rc.right;
    image.nHeight = rc.bottom;
    if (image.nWidth <= 0 || image.nHeight <= 0)
        return image;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = image.nWidth;
    bmi.bmiHeader.biHeight = -image.nHeight; // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMemory = ::CreateCompatibleDC(hScreen);
    void* pBits = nullptr;
    HBITMAP hSection = ::CreateDIBSection(hMemory, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMemory, hSection);
    ::BitBlt(hMemory, 0, 0, image.nWidth, image.nHeight, hScreen, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    const uint32_t* pPixels = static_cast<const uint32_t*>(pBits);
    image.pixels.assign(pPixels, pPixels + static_cast<size_t>(image.nWidth) * image.nHeight);
    for (uint32_t& c : image.pixels)
        c &= 0x00FFFFFF;
    ::SelectObject(hMemory, hOld);
    ::DeleteObject(hSection);
    ::DeleteDC(hMemory);
    ::ReleaseDC(nullptr, hScreen);
    return image;
}
