#pragma once

#include "Afx.h"

#include "CRenderLoop.h"
#include "CSaverSettings.h"
#include "SaverPlan.h"

#include <ddraw.h>

#include <memory>
#include <vector>

class CMonitorWnd;
class CWindowFire;

// The window of the full-screen saver. It plans the saver's windows from the settings and the
// monitors, covers the primary monitor (or, for one fire across, all of them) with the fire
// its plan asks for, runs the render loop and turns every sign of the user into a close
// request, which passes the password check when the system's option asks for one. It owns the
// windows over the other monitors, which its render loop draws too and which pass their input
// to it, and follows the layout when monitors come and go. While the system has the displays
// off, nothing is drawn. Created with new; deletes itself when destroyed.
class CVulkaraWnd : public CWnd
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

    // The output path chosen at creation, and its primary surface (DirectDraw only).
    BOOL IsUsingDirectX() const;
    LPDIRECTDRAWSURFACE GetPrimarySurface() const;

    // What the windows over the other monitors pass on: a close request, a pointer at pt
    // (screen coordinates) for the mouse rule, and the note that input came as a message.
    void RequestClose() { PostClose(); }
    void ApplyMouseRule(POINT pt);
    void NoteInputMessage();
    // TRUE for a window of this process: activating one of them is not leaving the saver.
    static bool IsOwnWindow(HWND hWnd);

    // The windows over the other monitors, and the frames the render loop has drawn.
    size_t GetMonitorWindowCount() const { return m_monitors.size(); }
    long GetFrameCount() const { return m_loop.GetFrameCount(); }

    BEGIN_MSG_MAP(CVulkaraWnd)
    MESSAGE_RANGE_HANDLER(WM_KEYFIRST, WM_KEYLAST, OnAnyInput)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnAnyInput)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_ACTIVATEAPP, OnActivateApp)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_MBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_RBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_KEYDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_SYSKEYDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_SYSCHAR, OnUserInput)
    MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_CANCELMODE, OnCancelMode)
    MESSAGE_HANDLER(WM_POWERBROADCAST, OnPowerBroadcast)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DISPLAYCHANGE, OnDisplayChange)
    CHAIN_MSG_MAP(CWnd)
    END_MSG_MAP()

protected:
    void PostNcDestroy() override;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnUserInput(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCancelMode(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPowerBroadcast(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnDisplayChange(UINT, WPARAM, LPARAM lParam, BOOL&);

    void PostClose();
    // Takes the system's last-input time and the pointer's position as seen.
    void WatchInput();
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

    CSaverSettings m_settings;
    SaverRequest m_request = {};
    std::vector<PlannedWindow> m_plan; // as the saver starts, the primary window first
    bool m_bFollowLayout = false;      // from the end of the set-up until the close
    std::unique_ptr<CWindowFire> m_pFire;
    std::vector<std::unique_ptr<CMonitorWnd>> m_monitors;
    void* m_hDisplayStateNotify = nullptr; // HPOWERNOTIFY, where the system has it
    BOOL m_bOldScreenSaverRunning = FALSE;
    POINT m_ptMouseRef = {-1, -1};
    long m_nStartClock = 0;
    CRenderLoop m_loop{CRenderLoop::SAVER_FLAGS};
    DWORD m_dwLastInput = 0; // the system's last input time, as last seen
    DWORD m_dwInputSeen = 0; // the system's last input time when a message last brought input
    POINT m_ptLastCursor = {0, 0};
};
