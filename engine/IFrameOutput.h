#pragma once

#include <cstdint>

// Where a render loop puts the engine's 8-bit frames: the screen, through one of the output
// paths (the Windows program's in display/, the X11 hack's in linux/). The loop calls every
// member but RestoreDisplay and UseSystemColours on its own thread; those two run on the
// window's thread while the loop holds or after it has stopped.
class IFrameOutput
{
public:
    virtual ~IFrameOutput() = default;

    // Called on the render thread before its first frame and after its last, so that what
    // belongs to the drawing thread (a device context) is taken and given back there.
    virtual void OnThreadStart() {}
    virtual void OnThreadEnd() {}

    // The frame to come, given which of its rows may hold heat (nonzero per row, top first)
    // and which of their 64-pixel chunks (the flame field's chunk flags; null: by rows only):
    // the address of a packed width x height buffer for the engine to render into, or null
    // when this frame is not to be drawn (dropped, or nothing on the screen would change).
    virtual uint8_t* BeginFrame(const uint8_t* pWarmRows, const uint64_t* pHotChunks) = 0;
    // Shows the frame BeginFrame gave the address for; bRendered false drops it. TRUE when
    // the frame reached the screen.
    virtual bool EndFrame(bool bRendered) = 0;

    // True when the output can show the engine's own frame where the engine keeps it, with
    // ShowInPlace, and needs no copy of it.
    virtual bool ShowsFramesInPlace() const { return false; }
    // BeginFrame and EndFrame in one, for a frame that stays the engine's: pFrame is packed
    // width x height and unchanged until the call returns. TRUE when the frame reached the
    // screen.
    virtual bool ShowInPlace(const uint8_t* /*pFrame*/, const uint8_t* /*pWarmRows*/,
                             const uint64_t* /*pHotChunks*/)
    {
        return false;
    }

    // What the screen shows while the loop holds for a dialog: called in place of the frame
    // that was due, or at once when the hold begins while the loop is parked.
    virtual void ShowHold() = 0;
    // Switches between the scene's colours and the system's, while the loop holds.
    virtual void UseSystemColours(bool /*bSystem*/) {}
    // Puts the display mode back as the output found it; after the loop has stopped.
    virtual void RestoreDisplay() {}
};
