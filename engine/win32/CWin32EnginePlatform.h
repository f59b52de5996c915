#pragma once

#include "IEnginePlatform.h"

// The engine's platform on Windows: the program's own resources, PlaySound and a GDI
// snapshot of the primary screen.
class CWin32EnginePlatform : public IEnginePlatform
{
public:
    bool LoadPaletteResource(PaletteEntry aPalette[PALETTE_SIZE]) override;
    void PlayLoopingSound() override;
    void StopSound() override;
    bool CaptureScreen(int nFrameWidth, int nFrameHeight, CBitmap24& screen) override;
};
