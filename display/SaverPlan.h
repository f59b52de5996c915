#pragma once

#include "FireSize.h"
#include "MonitorLayout.h"

#include <vector>

class ISettingsReader;

// What the settings and the display ask of the saver's windows, read once at its start.
struct SaverRequest
{
    MultiMonitorChoice choice;
    FireSizeChoice fireSize;
    bool bUseDirectX;
    int nXRes; // the Resolution setting
    int nYRes;
    int nDisplayWidth; // the primary display's mode as the saver starts
    int nDisplayHeight;
};

// The request the stored settings make of a display running at nDisplayWidth x nDisplayHeight.
SaverRequest ReadSaverRequest(const ISettingsReader& settings, int nDisplayWidth,
                              int nDisplayHeight);

enum SaverWindowKind
{
    SAVER_WINDOW_FIRE,  // a full-screen window with an engine of its own
    SAVER_WINDOW_BLACK, // covers a monitor and draws nothing but black
};

// Everything a saver window is built from. A fire window's engine runs at frame; its output
// (DirectDraw or GDI) shows nOutputWidth x nOutputHeight, stretched from the frame when
// bStretched, after setting the display to that size when bSetMode. The desktop snapshot is of
// snapshot, or, when bSnapshotArea is false, of the primary screen as it is when taken. A black
// window has only its rectangle and kind.
struct PlannedWindow
{
    ScreenRect rect;
    SaverWindowKind kind;
    bool bPrimary; // the one window that runs the close rule and the password dialog
    bool bDirectDraw;
    bool bSetMode;
    int nOutputWidth;
    int nOutputHeight;
    FrameSize frame;
    bool bStretched;
    bool bSound; // only one engine plays the background sound
    bool bSnapshotArea;
    ScreenRect snapshot;

    bool operator==(const PlannedWindow& other) const;
    bool operator!=(const PlannedWindow& other) const { return !(*this == other); }
};

// The saver's windows for a monitor layout, the primary monitor first. Every monitor is
// covered exactly once; an empty layout plans nothing.
std::vector<PlannedWindow> PlanSaverWindows(const std::vector<ScreenRect>& monitors,
                                            const SaverRequest& request);

// Whether a window planned as after needs another fire than the one built for before: another
// frame, output size, mode change or stretch. Where the window lies, its snapshot (the one
// taken at the start is kept) and the DirectDraw path (which may have fallen back to GDI) do
// not count.
bool NeedsNewFire(const PlannedWindow& before, const PlannedWindow& after);
