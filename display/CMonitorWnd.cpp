#include "CMonitorWnd.h"

#include "CGdiOutput.h"
#include "CMonitorSettings.h"
#include "CVulkara.h"
#include "CVulkaraWnd.h"
#include "CWin32EnginePlatform.h"
#include "FireSize.h"

#include <windowsx.h>

CMonitorWnd::CMonitorWnd(CVulkaraWnd& primary) : m_primary(primary) {}

CMonitorWnd::~CMonitorWnd()
{
    // The owner stops its render loop before it lets go of this window.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

IFrameOutput* CMonitorWnd::GetOutput() const
{
    return m_pOutput.get();
}

BOOL CMonitorWnd::Create(const ScreenRect& rect, bool bFire, const ISettingsReader& settings)
{
    static LPCSTR s_lpszClassName = nullptr;
    if (s_lpszClassName == nullptr)
        s_lpszClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr,
                                              static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (s_lpszClassName == nullptr)
        return FALSE;
    m_rect = rect;
    const RECT rc = {rect.nLeft, rect.nTop, rect.Right(), rect.Bottom()};
    // Never activated: the primary window keeps the keyboard and its activation rules.
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, s_lpszClassName, nullptr,
                  WS_POPUP, rc, nullptr, 0))
        return FALSE;
    if (bFire && !SetUpFire(settings))
    {
        m_pOutput.reset();
        m_pEngine.reset();
    }
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_hWnd);
    return TRUE;
}

bool CMonitorWnd::SetUpFire(const ISettingsReader& settings)
{
    // The fire size applies to every monitor, at that monitor's size; the mode never changes.
    int nFireSize = 0;
    settings.GetInt(SETTING_FIRE_SIZE, nFireSize);
    const bool bClassic = FireSizeFromValue(nFireSize) == FIRE_SIZE_CLASSIC;
    const FrameSize frame = EngineSizeFor(bClassic ? FIRE_SIZE_CLASSIC : FIRE_SIZE_SCREEN_PIXELS,
                                          m_rect.nWidth, m_rect.nHeight);
    m_pPlatform = std::make_unique<CWin32EnginePlatform>(m_rect.nLeft, m_rect.nTop, m_rect.nWidth,
                                                         m_rect.nHeight);
    m_pEngine = std::make_unique<CVulkara>(*m_pPlatform);
    if (!m_pEngine->Init(CMonitorSettings(settings, frame.nWidth, frame.nHeight, false)))
        return false;
    PALETTEENTRY aScene[PALETTE_SIZE] = {};
    if (!m_pEngine->LoadPalette(reinterpret_cast<PaletteEntry*>(aScene)))
        return false;
    m_pOutput = std::make_unique<CGdiOutput>();
    const BOOL bCreated =
        bClassic ? m_pOutput->CreateStretched(m_hWnd, frame.nWidth, frame.nHeight, m_rect.nWidth,
                                              m_rect.nHeight, aScene)
                 : m_pOutput->Create(m_hWnd, m_rect.nWidth, m_rect.nHeight, aScene, false);
    return bCreated != FALSE;
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
