#pragma once

#include "CChangedRows.h"
#include "CFrameScaler.h"
#include "CSavedDisplayMode.h"
#include "IFrameOutput.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// An 8-bit frame copied into the window as 32-bit pixels: at the window's size, with the
// display's resolution set to it when asked (Create), or stretched over the window
// (CreateStretched), which leaves the display alone. Only the 64-pixel chunks of the frame
// that may have changed go to the screen, as rectangles in bands of a bounded size, through a
// device context that the drawing thread takes and gives back. A frame the engine keeps
// itself is read where it lies.
class CGdiOutput : public IFrameOutput
{
public:
    // A whole frame is sent this often even where nothing changed, so that anything drawn
    // over the window in between does not stay.
    static constexpr int FULL_FRAME_INTERVAL = 40;

    CGdiOutput() = default;
    ~CGdiOutput() override;
    CGdiOutput(const CGdiOutput&) = delete;
    CGdiOutput& operator=(const CGdiOutput&) = delete;

    // Sets the display to nWidth x nHeight when it runs at another size and prepares the
    // bitmap with the scene's colours. FALSE when the display refuses the size or memory runs
    // out; the display is then as it was. Without bSetMode the display is left alone: a
    // window on a monitor other than the primary one, or across all of them.
    BOOL Create(HWND hWnd, int nWidth, int nHeight, const PALETTEENTRY* pScene,
                bool bSetMode = true);
    // Shows frames of nFrameWidth x nFrameHeight stretched by nearest pixel over the window's
    // nWidth x nHeight, leaving the display mode alone. FALSE when memory runs out.
    BOOL CreateStretched(HWND hWnd, int nFrameWidth, int nFrameHeight, int nWidth, int nHeight,
                         const PALETTEENTRY* pScene);

    void OnThreadEnd() override;
    uint8_t* BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks) override;
    bool EndFrame(bool bRendered) override;
    bool ShowsFramesInPlace() const override { return true; }
    bool ShowInPlace(const uint8_t* pFrame, const uint8_t* pWarmRows,
                     const uint64_t* pHotChunks) override;
    // The last frame stays on the screen under the dialog; the frame after the hold is whole.
    void ShowHold() override { m_changed.InvalidateAll(); }
    void RestoreDisplay() override;

private:
    BOOL CreateBitmap(const PALETTEENTRY* pScene);
    // The window's device context for the drawing thread; false while there is none.
    bool TakeDC();
    void ReleaseDC();
    // Takes the chunk flags of the frame to come (or the warm rows); true when any changed.
    bool NoteFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks);
    // Sends the changed chunks of a packed frame; true when all of them reached the screen.
    bool Send(const uint8_t* pFrame);
    // Sends the part of the window that shows the frame's rectangle; true when it was copied.
    bool SendRect(const uint8_t* pFrame, int x, int nTop, int nWidth, int nRows);

    HWND m_hWnd = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nSendRows = 0; // rows of the frame sent at most in one call
    int m_nFramesToFull = 0;
    CSavedDisplayMode m_savedMode;
    BOOL m_bDisplayChanged = FALSE;
    ColourTable m_colours = {};      // the scene's colours as the screen's pixels
    std::vector<uint8_t> m_bits;     // the frame, packed, when the engine does not keep it
    std::vector<uint32_t> m_scratch; // one band of screen pixels
    HDC m_hDC = nullptr;
    CChangedRows m_changed;
    CFrameScaler m_scaler;        // configured when stretching
    std::vector<uint8_t> m_shown; // when stretching, the frame the screen shows
};
