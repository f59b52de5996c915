#pragma once

#include "PaletteEntry.h"

class CBitmap24;

// What the engine needs of the system it runs on: its palette resource, the looping
// background sound and a snapshot of the screen. Everything after the snapshot is shared.
class IEnginePlatform
{
public:
    // Copies the 1024-byte palette resource; false when it cannot be found or loaded.
    virtual bool LoadPaletteResource(PaletteEntry aPalette[PALETTE_SIZE]) = 0;

    // Starts the background sound resource in an endless loop, asynchronously.
    virtual void PlayLoopingSound() = 0;

    // Stops whatever sound the process is playing.
    virtual void StopSound() = 0;

    // Takes the screen as it is now, as a 24-bit bottom-up picture of the screen's size.
    // A platform without a screen of its own may use the frame size it is given.
    virtual bool CaptureScreen(int nFrameWidth, int nFrameHeight, CBitmap24& screen) = 0;

protected:
    ~IEnginePlatform() = default;
};

// The platform engines use unless they are given another: the Win32 one on Windows, a
// process-wide CNativeEnginePlatform elsewhere.
IEnginePlatform& DefaultEnginePlatform();
