#include "RootSnapshot.h"

#include "CBitmap24.h"

#include <X11/Xutil.h>

#include <algorithm>

namespace
{
// The 8-bit channel of a pixel under a visual's mask.
uint8_t Channel(unsigned long nPixel, unsigned long nMask)
{
    if (nMask == 0)
        return 0;
    int nShift = 0;
    while ((nMask >> nShift & 1) == 0)
        ++nShift;
    const unsigned long nMax = nMask >> nShift;
    return static_cast<uint8_t>(((nPixel & nMask) >> nShift) * 255 / nMax);
}
} // namespace

bool TakeRootSnapshot(Display* pDisplay, int x, int y, int nWidth, int nHeight, CBitmap24& snapshot)
{
    if (!snapshot.Create(nWidth, nHeight))
        return false;
    const int nScreen = DefaultScreen(pDisplay);
    Visual* pVisual = DefaultVisual(pDisplay, nScreen);
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + nWidth, DisplayWidth(pDisplay, nScreen));
    const int y1 = std::min(y + nHeight, DisplayHeight(pDisplay, nScreen));
    if (pVisual->c_class != TrueColor || x1 <= x0 || y1 <= y0)
        return true;
    XImage* pImage =
        XGetImage(pDisplay, RootWindow(pDisplay, nScreen), x0, y0, static_cast<unsigned>(x1 - x0),
                  static_cast<unsigned>(y1 - y0), AllPlanes, ZPixmap);
    if (pImage == nullptr)
        return true;
    for (int row = y0; row < y1; ++row)
    {
        // The picture is bottom-up, blue, green, red.
        uint8_t* pPixel = snapshot.GetRow(nHeight - 1 - (row - y)) + 3 * (x0 - x);
        for (int column = x0; column < x1; ++column, pPixel += 3)
        {
            const unsigned long nPixel = XGetPixel(pImage, column - x0, row - y0);
            pPixel[0] = Channel(nPixel, pVisual->blue_mask);
            pPixel[1] = Channel(nPixel, pVisual->green_mask);
            pPixel[2] = Channel(nPixel, pVisual->red_mask);
        }
    }
    XDestroyImage(pImage);
    return true;
}
