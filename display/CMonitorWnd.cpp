#include "CMonitorWnd.h"

CMonitorWnd::CMonitorWnd(CCloseRule& rule) : CSaverWnd(rule) {}

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

LRESULT CMonitorWnd::OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&)
{
    return MA_NOACTIVATE;
}
