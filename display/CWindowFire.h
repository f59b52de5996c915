#pragma once

#include "SaverPlan.h"

#include <windows.h>

#include <ddraw.h>

#include <memory>

class CDirectDrawOutput;
class CVulkara;
class IFrameOutput;
class ISettingsReader;

// The fire of one saver window, built from the window's plan in one place: the engine at the
// planned frame size with its desktop snapshot, and the output that shows its frames in the
// window. The window's render loop draws them; the window stops it before letting go.
class CWindowFire
{
public:
    enum Result
    {
        BUILT,
        NO_ENGINE,  // the engine refused the frame or ran out of memory
        NO_PALETTE, // the palette resource is missing
        NO_OUTPUT,  // no output could be made; the display is as it was
    };

    ~CWindowFire();
    CWindowFire(const CWindowFire&) = delete;
    CWindowFire& operator=(const CWindowFire&) = delete;

    // Builds planned's fire in hWnd. The DirectDraw path falls back to GDI at the same size.
    // With pEarlier, the engine's desktop is the snapshot the earlier fire took, resampled
    // to the new frame: a snapshot taken now would show the saver's own windows.
    static Result Build(const PlannedWindow& planned, HWND hWnd, const ISettingsReader& settings,
                        std::unique_ptr<CWindowFire>& pFire, const CWindowFire* pEarlier = nullptr);

    // The plan as built: bDirectDraw is false after the fall back to GDI.
    const PlannedWindow& GetPlan() const { return m_planned; }
    CVulkara& GetEngine() const { return *m_pEngine; }
    IFrameOutput& GetOutput() const { return *m_pOutput; }
    // The DirectDraw path's primary surface; null on GDI.
    LPDIRECTDRAWSURFACE GetPrimarySurface() const;

private:
    class CSnapshot;

    CWindowFire() = default;
    bool BuildOutput(HWND hWnd, const PALETTEENTRY* pScene);

    PlannedWindow m_planned = {};
    std::shared_ptr<CSnapshot> m_pSnapshot; // shared with the fire that replaces this one
    std::unique_ptr<CVulkara> m_pEngine;
    std::unique_ptr<IFrameOutput> m_pOutput;
    CDirectDrawOutput* m_pDirectDraw = nullptr; // m_pOutput on the DirectDraw path
};
