#pragma once

// What the screen shows over a window, read back from the display.

#include <windows.h>

#include <cstdint>
#include <vector>

struct CScreenImage
{
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * nWidth + x]; }
    // Mean of red + green + blue over rows [nTop, nBottom).
    double MeanBrightness(int nTop, int nBottom) const;
    bool IsUniform() const;
};

// The screen over the window's client area.
CScreenImage CaptureClient(HWND hWnd);
