#pragma once

#include "CChangedRows.h"
#include "CSavedDisplayMode.h"
#include "IFrameOutput.h"

#include <windows.h>

#include <ddraw.h>

#include <vector>

// Exclusive full-screen DirectDraw at 8 bits per pixel: the engine renders straight into the
// locked primary surface when its rows are packed, else into a frame that is copied row by row
// at the surface's pitch. Frames in which no row changed are not drawn at all.
class CDirectDrawOutput : public IFrameOutput
{
public:
    CDirectDrawOutput() = default;
    ~CDirectDrawOutput() override;
    CDirectDrawOutput(const CDirectDrawOutput&) = delete;
    CDirectDrawOutput& operator=(const CDirectDrawOutput&) = delete;

    // Takes the display for hWnd at nWidth x nHeight, with the scene's and the system's
    // colours. FALSE when any step fails; the display mode is then back as it was.
    BOOL Create(HWND hWnd, int nWidth, int nHeight, const PALETTEENTRY* pScene,
                const PALETTEENTRY* pSystem);
    // Draws on a surface made elsewhere (with its palette already attached), released with
    // this object. Kept for the tests: no display mode of theirs gives rows wider than a frame.
    void Attach(LPDIRECTDRAWSURFACE lpSurface, int nWidth, int nHeight);

    LPDIRECTDRAWSURFACE GetPrimarySurface() const { return m_lpDDSPrimary; }

    uint8_t* BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks) override;
    bool EndFrame(bool bRendered) override;
    void ShowHold() override;
    void UseSystemColours(bool bSystem) override;
    void RestoreDisplay() override;

private:
    void Release();
    // Locks the whole surface; null when that fails.
    uint8_t* Lock();

    int m_nWidth = 0;
    int m_nHeight = 0;
    HWND m_hWnd = nullptr;
    HMODULE m_hDirectDraw = nullptr;
    LPDIRECTDRAW m_lpDD = nullptr;
    LPDIRECTDRAWSURFACE m_lpDDSPrimary = nullptr;
    LPDIRECTDRAWPALETTE m_lpDDPalette = nullptr;
    LPDIRECTDRAWPALETTE m_lpDDPaletteSystem = nullptr;
    BOOL m_bDisplayChanged = FALSE;
    CSavedDisplayMode m_savedMode; // the display's mode before ours, to check the restore by
    // The lock of the frame in progress.
    uint8_t* m_pSurface = nullptr;
    long m_lPitch = 0;
    // The frame, when the surface's rows are not packed.
    std::vector<uint8_t> m_frame;
    CChangedRows m_changed;
};
