#pragma once

#include "IFrameOutput.h"
#include "PaletteEntry.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// A frame larger than its window, stretched down onto the whole window as an 8-bit bitmap
// with the scene's colours; GDI drops the surplus rows and columns (COLORONCOLOR). Every frame
// is drawn whole: the window may have been resized or uncovered since the last one.
class CStretchOutput : public IFrameOutput
{
public:
    // FALSE when the bitmap cannot be allocated.
    BOOL Create(HWND hWnd, int nWidth, int nHeight, const PaletteEntry* pScene);

    uint8_t* BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks) override;
    bool EndFrame(bool bRendered) override;
    void ShowHold() override {}

private:
    HWND m_hWnd = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;
    std::vector<uint8_t> m_info; // BITMAPINFO with 256 colours
    std::vector<uint8_t> m_bits;
};
