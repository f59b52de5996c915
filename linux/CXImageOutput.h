#pragma once

#include "CChangedRows.h"
#include "CFrameScaler.h"
#include "FlameKernels.h"
#include "IFrameOutput.h"
#include "PaletteEntry.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <string>
#include <vector>

// The engine's 8-bit frames on an X window as the visual's 32-bit pixels: looked up into one
// window-sized image that the server shares (MIT-SHM) or is sent (plain XPutImage, over the
// network), of which only the 64-pixel chunks that may have changed go to the server. A frame
// smaller than the window is stretched over it by nearest pixel. The server is waited for (one
// round trip) only before the shared image is written again, so that it draws while the
// program sleeps.
class CXImageOutput : public IFrameOutput
{
public:
    CXImageOutput() = default;
    ~CXImageOutput() override;
    CXImageOutput(const CXImageOutput&) = delete;
    CXImageOutput& operator=(const CXImageOutput&) = delete;

    // Prepares frames of nFrameWidth x nFrameHeight for the nWidth x nHeight window with the
    // scene's colours. False, with the reason in strError, for a visual whose pixels are not
    // 32-bit true colour or when memory runs out.
    bool Create(Display* pDisplay, Window window, Visual* pVisual, int nDepth, int nWidth,
                int nHeight, int nFrameWidth, int nFrameHeight, const PaletteEntry* pScene,
                std::string& strError);

    uint8_t* BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks) override;
    bool EndFrame(bool bRendered) override;
    bool ShowsFramesInPlace() const override { return true; }
    bool ShowInPlace(const uint8_t* pFrame, const uint8_t* pWarmRows,
                     const uint64_t* pHotChunks) override;
    void ShowHold() override { InvalidateAll(); }

    // The window no longer shows the last frame (it was exposed): the next one goes whole.
    void InvalidateAll() { m_changed.InvalidateAll(); }
    bool UsesSharedMemory() const { return m_bShared; }

private:
    bool CreateImage(Visual* pVisual, int nDepth);
    void DestroyImage();
    bool NoteFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks);
    // Sends the changed chunks of a packed frame.
    bool Send(const uint8_t* pFrame);

    Display* m_pDisplay = nullptr;
    Window m_window = 0;
    GC m_gc = nullptr;
    XImage* m_pImage = nullptr;
    XShmSegmentInfo m_shm = {};
    bool m_bShared = false;
    bool m_bServerReading = false;  // a put of the shared image may not have been drawn yet
    std::vector<uint32_t> m_pixels; // the image's pixels when it is not shared
    int m_nWidth = 0;
    int m_nHeight = 0;
    ColourTable m_colours = {};
    CChangedRows m_changed;
    CFrameScaler m_scaler;        // configured when stretching
    std::vector<uint8_t> m_shown; // when stretching, the frame the window shows
    std::vector<uint8_t> m_bits;  // the frame, when the engine does not keep it
};
