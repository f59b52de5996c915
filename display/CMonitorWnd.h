#pragma once

#include "Afx.h"

#include "CWindowFire.h"
#include "SaverPlan.h"

#include <memory>

class CVulkara;
class CVulkaraWnd;
class IFrameOutput;
class ISettingsReader;

// The saver's window over a monitor other than the primary one: topmost, without the pointer,
// never activated, black or with a fire engine of the monitor's size drawn through GDI (the
// monitor's mode never changes). It decides nothing itself: every input goes to the primary
// window, which applies the close rule once for all windows. The primary window owns it and
// its render loop draws it.
class CMonitorWnd : public CWnd
{
public:
    explicit CMonitorWnd(CVulkaraWnd& primary);
    ~CMonitorWnd() override;

    // Covers the planned rectangle; a planned fire window gets its fire, and when that fails
    // the window stays black, since a monitor left showing the desktop is worse than one
    // without fire. FALSE when no window could be made.
    BOOL Create(const PlannedWindow& planned, const ISettingsReader& settings);

    // Null on a black window.
    CVulkara* GetEngine() const;
    IFrameOutput* GetOutput() const;
    // The plan the window was made from, whether or not its fire could be built.
    const PlannedWindow& GetPlan() const { return m_planned; }

    BEGIN_MSG_MAP(CMonitorWnd)
    MESSAGE_RANGE_HANDLER(WM_KEYFIRST, WM_KEYLAST, OnAnyInput)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnAnyInput)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_MBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_RBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_KEYDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_SYSKEYDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_SYSCHAR, OnUserInput)
    MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    CHAIN_MSG_MAP(CWnd)
    END_MSG_MAP()

private:
    LRESULT OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnUserInput(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&);

    CVulkaraWnd& m_primary;
    PlannedWindow m_planned = {};
    std::unique_ptr<CWindowFire> m_pFire;
};
