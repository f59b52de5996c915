#pragma once

#include "Afx.h"

#include "CRenderLoop.h"

#include <ddraw.h>

#include <memory>

class CDirectDrawOutput;
class CVulkara;
class IFrameOutput;

// The window of the full-screen saver. It covers the primary screen, owns the fire engine,
// sets up DirectDraw or GDI output with the display-mode change, runs the render loop and
// turns every sign of the user into a close request, which passes the password check when
// the system's option asks for one. Created with new; deletes itself when destroyed.
class CVulkaraWnd : public CWnd
{
public:
    CVulkaraWnd();
    ~CVulkaraWnd() override;

    using CWnd::Create;
    // A topmost, visible popup over rect; FALSE when the set-up failed (its message shown).
    // After a failed set-up the object has already deleted itself.
    virtual BOOL Create(const RECT& rect, CWnd* pParentWnd);

    // The password dialog, with the animation held around it; TRUE when it ended with OK.
    BOOL VerifyPassword();
    // Holds the render thread after its current frame and shows the system colours on the
    // DirectDraw path; ResumeRendering undoes both.
    void PauseRendering();
    void ResumeRendering();

    // The output path chosen at creation, and its primary surface (DirectDraw only).
    BOOL IsUsingDirectX() const { return m_bUseDirectX; }
    LPDIRECTDRAWSURFACE GetPrimarySurface() const;

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
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnUserInput(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCancelMode(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPowerBroadcast(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnDisplayChange(UINT, WPARAM, LPARAM lParam, BOOL&);

    void PostClose();
    // The close rule for a pointer at pt (screen coordinates, which are the client's).
    void ApplyMouseRule(POINT pt);
    // Takes the system's last-input time and the pointer's position as seen.
    void WatchInput();
    BOOL SetUp();
    BOOL SetUpOutput(const PALETTEENTRY* pScene, const PALETTEENTRY* pSystem);
    // Stops the render loop and puts the display back; safe to call more than once.
    void StopAndRestore();

    int m_nXRes = 0; // the screen's size as the output shows it
    int m_nYRes = 0;
    // Under the classic fire size: the engine's frame, stretched over the window on the GDI
    // path at the window's size.
    BOOL m_bClassic = FALSE;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    BOOL m_bOldScreenSaverRunning = FALSE;
    BOOL m_bUseDirectX = FALSE;
    POINT m_ptMouseRef = {-1, -1};
    long m_nStartClock = 0;
    CVulkara* m_pVulkara = nullptr;
    std::unique_ptr<IFrameOutput> m_pOutput;
    CDirectDrawOutput* m_pDirectDraw = nullptr; // m_pOutput on the DirectDraw path
    CRenderLoop m_loop{CRenderLoop::SAVER_FLAGS};
    DWORD m_dwLastInput = 0; // the system's last input time, as last seen
    DWORD m_dwInputSeen = 0; // the system's last input time when a message last brought input
    POINT m_ptLastCursor = {0, 0};
};
