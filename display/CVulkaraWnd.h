#pragma once

#include "Afx.h"

#include "CCloseRule.h"
#include "CSaverWindows.h"
#include "CSaverWnd.h"

#include <ddraw.h>

// The window of the full-screen saver, where its plan puts the primary one (over the primary
// monitor or, for one fire across, all of them). It keeps the saver's rules: it owns the close
// rule, which every saver window passes its input to, and decides the close, with the password
// check when the system's option asks for one; while the system has the displays off, nothing
// is drawn. Its CSaverWindows plans and builds the fire of every window and follows the layout
// when monitors come and go. Created with new; deletes itself when destroyed.
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
    long GetFrameCount() const { return m_windows.GetFrameCount(); }

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
    // Draws nothing while the displays are off; input still ends the saver.
    void SetDisplayOn(bool bOn);
    void RegisterDisplayState();
    void UnregisterDisplayState();
    // Stops the render loop, closes the other monitors' windows and puts the display back;
    // safe to call more than once.
    void StopAndRestore();

    CCloseRule m_closeRule{*this};
    CSaverWindows m_windows{m_closeRule};
    void* m_hDisplayStateNotify = nullptr; // HPOWERNOTIFY, where the system has it
    BOOL m_bOldScreenSaverRunning = FALSE;
};
