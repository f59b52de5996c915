#pragma once

#include "Afx.h"

class CCloseRule;

// A window of the full-screen saver, over the primary monitor or another one. Its input goes
// to the one close rule they all share; the pointer is hidden over it; the system's requests to
// start a saver or to close by the system menu are refused, and a close asked of it is the
// primary window's to decide, which handles WM_CLOSE itself.
class CSaverWnd : public CWnd
{
public:
    // WM_MOUSEHWHEEL, which the headers of the systems the program targets lack.
    static constexpr UINT MOUSE_HWHEEL = 0x020E;

    explicit CSaverWnd(CCloseRule& rule) : m_rule(rule) {}

    BEGIN_MSG_MAP(CSaverWnd)
    MESSAGE_RANGE_HANDLER(WM_KEYFIRST, WM_KEYLAST, OnAnyInput)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, MOUSE_HWHEEL, OnAnyInput)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_MBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_RBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_XBUTTONDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnUserInput)
    MESSAGE_HANDLER(MOUSE_HWHEEL, OnUserInput)
    MESSAGE_HANDLER(WM_KEYDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_SYSKEYDOWN, OnUserInput)
    MESSAGE_HANDLER(WM_SYSCHAR, OnUserInput)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnUserInput)
    MESSAGE_HANDLER(WM_CANCELMODE, OnUserInput)
    MESSAGE_HANDLER(WM_ACTIVATEAPP, OnActivateApp)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    CHAIN_MSG_MAP(CWnd)
    END_MSG_MAP()

private:
    LRESULT OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnUserInput(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);

    CCloseRule& m_rule;
};
