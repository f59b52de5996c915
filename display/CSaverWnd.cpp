#include "CSaverWnd.h"

#include "CCloseRule.h"

#include <windowsx.h>

namespace
{
// True for a window of this process: activating one of them is not leaving the saver.
bool IsOwnWindow(HWND hWnd)
{
    DWORD dwProcess = 0;
    return hWnd != nullptr && ::GetWindowThreadProcessId(hWnd, &dwProcess) != 0 &&
           dwProcess == ::GetCurrentProcessId();
}
} // namespace

LRESULT CSaverWnd::OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    m_rule.OnInputMessage();
    bHandled = FALSE;
    return 0;
}

LRESULT CSaverWnd::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    m_rule.OnPointerAt(pt);
    return Default();
}

LRESULT CSaverWnd::OnUserInput(UINT, WPARAM, LPARAM, BOOL&)
{
    m_rule.RequestClose();
    return Default();
}

LRESULT CSaverWnd::OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (!wParam)
        m_rule.RequestClose();
    return Default();
}

LRESULT CSaverWnd::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Losing the focus to the password dialog, or to the saver's window on another monitor,
    // is no leaving of the saver.
    if (LOWORD(wParam) == WA_INACTIVE && !m_rule.IsDialogUp() &&
        !IsOwnWindow(reinterpret_cast<HWND>(lParam)))
        m_rule.RequestClose();
    return Default();
}

LRESULT CSaverWnd::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Nothing else may take the focus from the saver, except its own dialog.
    if (!wParam && !m_rule.IsDialogUp())
        return FALSE;
    return Default();
}

LRESULT CSaverWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    m_rule.RequestClose();
    return 0;
}

LRESULT CSaverWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // The low four bits of a system command are the system's own.
    const UINT nCommand = static_cast<UINT>(wParam & 0xFFF0);
    if (nCommand == SC_SCREENSAVE || nCommand == SC_CLOSE)
        return 0;
    return Default();
}

LRESULT CSaverWnd::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    // Handled, so that no default processing puts a pointer back.
    ::SetCursor(nullptr);
    return TRUE;
}

LRESULT CSaverWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = m_rule.OnTimer(wParam);
    return 0;
}
