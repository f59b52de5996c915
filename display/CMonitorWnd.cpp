#include "CMonitorWnd.h"

#include "CVulkaraWnd.h"

#include <windowsx.h>

CMonitorWnd::CMonitorWnd(CVulkaraWnd& primary) : m_primary(primary) {}

CMonitorWnd::~CMonitorWnd()
{
    // The owner stops its render loop before it lets go of this window.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

CVulkara* CMonitorWnd::GetEngine() const
{
    return m_pFire != nullptr ? &m_pFire->GetEngine() : nullptr;
}

IFrameOutput* CMonitorWnd::GetOutput() const
{
    return m_pFire != nullptr ? &m_pFire->GetOutput() : nullptr;
}

BOOL CMonitorWnd::Create(const PlannedWindow& planned, const ISettingsReader& settings)
{
    static LPCSTR s_lpszClassName = nullptr;
    if (s_lpszClassName == nullptr)
        s_lpszClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr,
                                              static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (s_lpszClassName == nullptr)
        return FALSE;
    m_planned = planned;
    const ScreenRect& rect = planned.rect;
    const RECT rc = {rect.nLeft, rect.nTop, rect.Right(), rect.Bottom()};
    // Never activated: the primary window keeps the keyboard and its activation rules.
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, s_lpszClassName, nullptr,
                  WS_POPUP, rc, nullptr, 0))
        return FALSE;
    if (planned.kind == SAVER_WINDOW_FIRE)
        CWindowFire::Build(planned, m_hWnd, settings, m_pFire);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_hWnd);
    return TRUE;
}

LRESULT CMonitorWnd::OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    m_primary.NoteInputMessage();
    bHandled = FALSE;
    return 0;
}

LRESULT CMonitorWnd::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    m_primary.ApplyMouseRule(pt);
    return Default();
}

LRESULT CMonitorWnd::OnUserInput(UINT, WPARAM, LPARAM, BOOL&)
{
    m_primary.RequestClose();
    return Default();
}

LRESULT CMonitorWnd::OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&)
{
    return MA_NOACTIVATE;
}

LRESULT CMonitorWnd::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Should it be activated after all, losing it to another program is leaving the saver;
    // to one of the saver's own windows it is not.
    if (LOWORD(wParam) == WA_INACTIVE && !CVulkaraWnd::IsOwnWindow(reinterpret_cast<HWND>(lParam)))
        m_primary.RequestClose();
    return Default();
}

LRESULT CMonitorWnd::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SetCursor(nullptr);
    return TRUE;
}

LRESULT CMonitorWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const UINT nCommand = static_cast<UINT>(wParam & 0xFFF0);
    if (nCommand == SC_SCREENSAVE || nCommand == SC_CLOSE)
        return 0;
    return Default();
}
