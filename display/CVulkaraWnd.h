#pragma once

#include "Afx.h"

#include "CCloseRule.h"
#include "CRenderLoop.h"
#include "CSaverSettings.h"
#include "CSaverWnd.h"
#include "SaverPlan.h"

#include <ddraw.h>

#include <memory>
#include <vector>

class CMonitorWnd;
class CWindowFire;

// The window of the full-screen saver. It plans the saver's windows from the settings and the
// monitors, covers the primary monitor (or, for one fire across, all of them) with the fire
// its plan asks for and runs the render loop. It owns the close rule, which every saver window
// passes its input to, and decides the close: with the password check when the system's option
// asks for one. It owns the windows over the other monitors, which its render loop draws too,
// and follows the layout when monitors come and go. While the system has the displays off,
// nothing is drawn. Created with new; deletes itself when destroyed.
class CVulkaraWnd : public CSaverWnd
{
public:
    CVulkaraWnd();
    ~CVulkaraWnd() override;

    using CWnd::Create;
    // A topmost, visible popup where the plan puts the primary window; FALSE when the set-up
    // failed (its message shown). After a failed set-up the object has already deleted itself.
    BOOL Create();

    // The password dialog, with the animation held around it; TRUE when it ended with OK.
    BOOL VerifyPassword();
    // Holds the render thread after its current frame and shows the system colours on the
    // DirectDraw path; ResumeRendering undoes both.
    void PauseRendering();
    void ResumeRendering();

    // The DirectDraw path's primary surface, or null on GDI. Only the tests call it: the
    // palette that the hold attaches to the surface can be read nowhere else.
    LPDIRECTDRAWSURFACE GetPrimarySurface() const;
    // The frames the render loop has drawn.
    long GetFrameCount() const { return m_loop.GetFrameCount(); }

    BEGIN_MSG_MAP(CVulkaraWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_POWERBROADCAST, OnPowerBroadcast)
    MESSAGE_HANDLER(WM_DISPLAYCHANGE, OnDisplayChange)
    CHAIN_MSG_MAP(CSaverWnd)
    END_MSG_MAP()

protected:
    void PostNcDestroy() override;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnPowerBroadcast(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDisplayChange(UINT, WPARAM, LPARAM lParam, BOOL&);

    BOOL SetUp();
    // Windows over the monitors of plan other than the primary one, added to the render loop
    // (which is not running).
    void CreateMonitorWindows(const std::vector<PlannedWindow>& plan);
    // Follows a new monitor layout with the start's request: the primary window covers its
    // new place, its fire rebuilt when its size changes, and the other windows are made anew
    // when their plan differs. A hold for the password dialog stands throughout.
    void FollowLayout();
    void FollowLayoutStopped(const std::vector<PlannedWindow>& plan, bool bPrimary, bool bOthers);
    // Draws nothing while the displays are off; input still ends the saver.
    void SetDisplayOn(bool bOn);
    void RegisterDisplayState();
    void UnregisterDisplayState();
    // Stops the render loop, closes the other monitors' windows and puts the display back;
    // safe to call more than once.
    void StopAndRestore();

    CCloseRule m_closeRule{*this};
    CSaverSettings m_settings;
    SaverRequest m_request = {};
    std::vector<PlannedWindow> m_plan; // as the saver starts, the primary window first
    bool m_bFollowLayout = false;      // from the end of the set-up until the close
    std::unique_ptr<CWindowFire> m_pFire;
    std::vector<std::unique_ptr<CMonitorWnd>> m_monitors;
    void* m_hDisplayStateNotify = nullptr; // HPOWERNOTIFY, where the system has it
    BOOL m_bOldScreenSaverRunning = FALSE;
    CRenderLoop m_loop{CRenderLoop::SAVER_FLAGS};
};
