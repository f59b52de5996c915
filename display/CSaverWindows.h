#pragma once

#include "CRenderLoop.h"
#include "CSaverSettings.h"
#include "CWindowFire.h"
#include "SaverPlan.h"

#include <windows.h>

#include <ddraw.h>

#include <memory>
#include <vector>

class CMonitorWnd;
class CCloseRule;

// The saver's windows as planned: the primary window's fire, the windows over the other
// monitors with theirs, and the one render loop that draws them all. They are planned once,
// from the stored settings and the monitors; a new layout is followed with the request as it
// was at the start, so that the display mode the saver chose stays its own.
class CSaverWindows
{
public:
    explicit CSaverWindows(CCloseRule& rule);
    ~CSaverWindows(); // stops
    CSaverWindows(const CSaverWindows&) = delete;
    CSaverWindows& operator=(const CSaverWindows&) = delete;

    // Reads the settings and plans the windows; false when there is nothing to cover.
    bool Plan();
    // Where the primary window goes.
    const ScreenRect& GetPrimaryRect() const { return m_plan.front().rect; }
    // Builds the primary window's fire in hPrimary and the other monitors' windows, and starts
    // the render loop; NO_OUTPUT too when the loop cannot start.
    CWindowFire::Result Start(HWND hPrimary);
    // Follows a new monitor layout: the primary window covers its new place, its fire made
    // anew at a new size, and the other windows are made anew when their plan differs. A hold
    // or a park stands throughout; what fails to build leaves the fire drawing with what there
    // is. False before Start and after Stop.
    bool FollowLayout();
    // The password dialog's hold, with the system's colours on the DirectDraw path.
    void Hold();
    void Release();
    // Nothing is drawn while the displays are off.
    void Park() { m_loop.Park(); }
    void Unpark() { m_loop.Unpark(); }
    // Stops the render loop, closes the other monitors' windows and puts the display back;
    // safe to call more than once.
    void Stop();

    // The DirectDraw path's primary surface, or null on GDI.
    LPDIRECTDRAWSURFACE GetPrimarySurface() const;
    // Frames the render loop has drawn.
    long GetFrameCount() const { return m_loop.GetFrameCount(); }

private:
    // Windows over the monitors of plan other than the primary one, added to the render loop
    // (which is not running).
    void CreateMonitorWindows(const std::vector<PlannedWindow>& plan);
    void Rebuild(const std::vector<PlannedWindow>& plan, bool bPrimary, bool bOthers);

    CCloseRule& m_rule;
    CSaverSettings m_settings;
    SaverRequest m_request = {};
    std::vector<PlannedWindow> m_plan; // as the saver starts, the primary window first
    HWND m_hPrimary = nullptr;         // from Start until Stop
    std::unique_ptr<CWindowFire> m_pFire;
    std::vector<std::unique_ptr<CMonitorWnd>> m_monitors;
    CRenderLoop m_loop{CRenderLoop::SAVER_FLAGS};
};
