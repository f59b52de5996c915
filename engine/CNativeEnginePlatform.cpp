#include "CNativeEnginePlatform.h"

#include "FirePalette.h"

bool CNativeEnginePlatform::LoadPaletteResource(PaletteEntry aPalette[PALETTE_SIZE])
{
    if (!m_bPaletteAvailable)
        return false;
    BuildFirePalette(aPalette);
    return true;
}

void CNativeEnginePlatform::PlayLoopingSound()
{
    ++m_nPlayCount;
}

void CNativeEnginePlatform::StopSound()
{
    ++m_nStopCount;
}

bool CNativeEnginePlatform::CaptureScreen(int nFrameWidth, int nFrameHeight, CBitmap24& screen)
{
    if (m_bCaptureFails)
        return false;
    if (m_bHasScreen)
    {
        screen = m_screen;
        return true;
    }
    return screen.Create(nFrameWidth, nFrameHeight);
}

void CNativeEnginePlatform::SetScreen(const CBitmap24& screen)
{
    m_screen = screen;
    m_bHasScreen = true;
}

void CNativeEnginePlatform::ClearScreen()
{
    m_screen = CBitmap24();
    m_bHasScreen = false;
}
