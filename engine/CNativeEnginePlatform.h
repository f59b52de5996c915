#pragma once

#include "CBitmap24.h"
#include "IEnginePlatform.h"

// The engine's platform where there is no Windows: the palette is computed, the sound calls
// are only counted, and the "screen" is a picture the caller supplies (black otherwise).
class CNativeEnginePlatform : public IEnginePlatform
{
public:
    bool LoadPaletteResource(PaletteEntry aPalette[PALETTE_SIZE]) override;
    void PlayLoopingSound() override;
    void StopSound() override;
    bool CaptureScreen(int nFrameWidth, int nFrameHeight, CBitmap24& screen) override;

    // The picture later captures return; without one they return black at the frame size.
    void SetScreen(const CBitmap24& screen);
    void ClearScreen();

    // Lets callers exercise the engine's failure paths.
    void SetPaletteAvailable(bool bAvailable) { m_bPaletteAvailable = bAvailable; }
    void SetCaptureFails(bool bFails) { m_bCaptureFails = bFails; }

    int GetPlayCount() const { return m_nPlayCount; }
    int GetStopCount() const { return m_nStopCount; }

private:
    CBitmap24 m_screen;
    bool m_bHasScreen = false;
    bool m_bPaletteAvailable = true;
    bool m_bCaptureFails = false;
    int m_nPlayCount = 0;
    int m_nStopCount = 0;
};
