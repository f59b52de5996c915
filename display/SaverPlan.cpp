#include "SaverPlan.h"

#include "ISettingsReader.h"
#include "SettingIndex.h"

namespace
{
PlannedWindow BlackWindow(const ScreenRect& rect)
{
    PlannedWindow window = {};
    window.rect = rect;
    window.kind = SAVER_WINDOW_BLACK;
    return window;
}

// The primary window: the only one that may take DirectDraw and change the display's mode.
PlannedWindow PrimaryWindow(const ScreenRect& rect, const SaverRequest& request)
{
    PlannedWindow window = {};
    window.rect = rect;
    window.kind = SAVER_WINDOW_FIRE;
    window.bPrimary = true;
    window.bSound = true;
    const bool bClassic = request.fireSize == FIRE_SIZE_CLASSIC;
    const bool bSpan = request.choice == MULTI_MONITOR_SPAN;
    // The classic size is drawn by GDI alone: on the DirectDraw path the engine writes
    // straight into a surface of the display mode's size. One fire across is GDI's too.
    window.bDirectDraw = request.bUseDirectX && !bClassic && !bSpan;
    // The window's own size, and the display left as it is: under the classic size (the
    // Resolution setting changes nothing there), for one fire across, and on GDI at the
    // display's size, where the display may stand for several monitors under a fake layout.
    // The DirectDraw path keeps its size and its mode change.
    const bool bDisplaySize =
        request.nXRes == request.nDisplayWidth && request.nYRes == request.nDisplayHeight;
    const bool bWindowSize = bClassic || bSpan || (!window.bDirectDraw && bDisplaySize);
    window.bSetMode = !bWindowSize;
    window.nOutputWidth = bWindowSize ? rect.nWidth : request.nXRes;
    window.nOutputHeight = bWindowSize ? rect.nHeight : request.nYRes;
    window.frame = EngineSizeFor(request.fireSize, window.nOutputWidth, window.nOutputHeight);
    window.bStretched = bClassic;
    return window;
}

// A fire window over another monitor, at that monitor's size; its mode never changes.
PlannedWindow MonitorWindow(const ScreenRect& rect, const SaverRequest& request)
{
    PlannedWindow window = {};
    window.rect = rect;
    window.kind = SAVER_WINDOW_FIRE;
    window.nOutputWidth = rect.nWidth;
    window.nOutputHeight = rect.nHeight;
    window.frame = EngineSizeFor(request.fireSize, rect.nWidth, rect.nHeight);
    window.bStretched = request.fireSize == FIRE_SIZE_CLASSIC;
    return window;
}
} // namespace

SaverRequest ReadSaverRequest(const ISettingsReader& settings, int nDisplayWidth,
                              int nDisplayHeight)
{
    int nChoice = MULTI_MONITOR_FIRE_ON_EVERY;
    settings.GetInt(SETTING_MULTI_MONITOR, nChoice);
    int nFireSize = FIRE_SIZE_SCREEN_PIXELS;
    settings.GetInt(SETTING_FIRE_SIZE, nFireSize);
    int nUseDirectX = 0;
    settings.GetInt(SETTING_USE_DIRECTX, nUseDirectX);
    SaverRequest request = {MultiMonitorChoiceFromValue(nChoice),
                            FireSizeFromValue(nFireSize),
                            nUseDirectX != 0,
                            0,
                            0,
                            nDisplayWidth,
                            nDisplayHeight};
    settings.GetInt(SETTING_XRES, request.nXRes);
    settings.GetInt(SETTING_YRES, request.nYRes);
    return request;
}

bool PlannedWindow::operator==(const PlannedWindow& other) const
{
    return rect == other.rect && kind == other.kind && bPrimary == other.bPrimary &&
           bDirectDraw == other.bDirectDraw && bSetMode == other.bSetMode &&
           nOutputWidth == other.nOutputWidth && nOutputHeight == other.nOutputHeight &&
           frame == other.frame && bStretched == other.bStretched && bSound == other.bSound &&
           bSnapshotArea == other.bSnapshotArea && snapshot == other.snapshot;
}

std::vector<PlannedWindow> PlanSaverWindows(const std::vector<ScreenRect>& monitors,
                                            const SaverRequest& request)
{
    std::vector<PlannedWindow> windows;
    if (monitors.empty())
        return windows;
    if (request.choice == MULTI_MONITOR_SPAN)
        windows.push_back(PrimaryWindow(BoundingRect(monitors), request));
    else
    {
        windows.push_back(PrimaryWindow(monitors.front(), request));
        for (size_t i = 1; i < monitors.size(); ++i)
            windows.push_back(request.choice == MULTI_MONITOR_FIRE_ON_EVERY
                                  ? MonitorWindow(monitors[i], request)
                                  : BlackWindow(monitors[i]));
    }
    // Each window's snapshot is of the whole area it covers, one fire across all monitors
    // included. With one monitor it is the primary screen's, whatever its size by then.
    if (monitors.size() > 1)
    {
        for (PlannedWindow& window : windows)
        {
            window.bSnapshotArea = window.kind == SAVER_WINDOW_FIRE;
            window.snapshot = window.bSnapshotArea ? window.rect : ScreenRect{};
        }
    }
    return windows;
}

bool NeedsNewFire(const PlannedWindow& before, const PlannedWindow& after)
{
    return before.kind != after.kind || before.bSetMode != after.bSetMode ||
           before.nOutputWidth != after.nOutputWidth ||
           before.nOutputHeight != after.nOutputHeight || !(before.frame == after.frame) ||
           before.bStretched != after.bStretched || before.bSound != after.bSound;
}
