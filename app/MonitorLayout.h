#pragma once

#include <string>
#include <vector>

// A monitor's area, or a window's, in screen pixels. The origin may be negative: monitors to
// the left of or above the primary one have negative coordinates.
struct ScreenRect
{
    int nLeft;
    int nTop;
    int nWidth;
    int nHeight;

    int Right() const { return nLeft + nWidth; }
    int Bottom() const { return nTop + nHeight; }
    bool operator==(const ScreenRect& other) const
    {
        return nLeft == other.nLeft && nTop == other.nTop && nWidth == other.nWidth &&
               nHeight == other.nHeight;
    }
};

// What the saver does with several monitors: the stored value of the MultiMonitor setting.
enum MultiMonitorChoice
{
    MULTI_MONITOR_FIRE_ON_EVERY = 0, // each monitor its own window and engine
    MULTI_MONITOR_MAIN_ONLY = 1,     // fire on the primary monitor, the others black
    MULTI_MONITOR_SPAN = 2,          // one window and one engine across all monitors
};

// The choice a stored value stands for; a value no version wrote means the default.
MultiMonitorChoice MultiMonitorChoiceFromValue(int nValue);

enum SaverWindowKind
{
    SAVER_WINDOW_FIRE,  // a full-screen window with an engine of its own size
    SAVER_WINDOW_BLACK, // covers a monitor and draws nothing but black
};

struct PlannedWindow
{
    ScreenRect rect;
    SaverWindowKind kind;
    bool bPrimary; // the one window that runs the close rule and the password dialog
};

// The saver's windows for a monitor layout, the primary monitor first. Every monitor is
// covered exactly once; an empty layout plans nothing.
std::vector<PlannedWindow> PlanSaverWindows(const std::vector<ScreenRect>& monitors,
                                            MultiMonitorChoice choice);

// Reads a monitor layout written as WxH+X+Y[,WxH+X+Y...] (the first is the primary; X and Y
// may be negative, written +-X or -X). False, with monitors left empty, for anything else:
// a layout half understood would leave a monitor uncovered.
bool ParseMonitorList(const std::string& strText, std::vector<ScreenRect>& monitors);
