#pragma once

#include "IEnginePlatform.h"

// The engine's platform on Windows: the program's own resources, PlaySound and a GDI
// snapshot of the primary screen, or of one area of the desktop (a monitor, or all of them).
class CWin32EnginePlatform : public IEnginePlatform
{
public:
    CWin32EnginePlatform() = default;
    // The snapshot is of this area, in screen pixels.
    CWin32EnginePlatform(int nLeft, int nTop, int nWidth, int nHeight);

    bool LoadPaletteResource(PaletteEntry aPalette[PALETTE_SIZE]) override;
    void PlayLoopingSound() override;
    void StopSound() override;
    bool CaptureScreen(int nFrameWidth, int nFrameHeight, CBitmap24& screen) override;

private:
    bool m_bArea = false; // false: the primary screen, whatever its size is then
    int m_nLeft = 0;
    int m_nTop = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
};
