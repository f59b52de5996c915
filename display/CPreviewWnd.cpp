#include "CPreviewWnd.h"

#include "CFrameSettings.h"
#include "CVulkara.h"
#include "FireSize.h"
#include "SettingIndex.h"

#include <climits>

namespace
{
// The engine runs at this multiple of the window's size; GDI drops the surplus rows and
// columns on output.
constexpr int FRAME_SCALE = 3;
} // namespace

CPreviewWnd::CPreviewWnd(const ISettingsReader* pSettings)
    : m_pVulkara(new CVulkara), m_pSettings(pSettings)
{
}

CPreviewWnd::~CPreviewWnd()
{
    m_loop.Stop();
    delete m_pVulkara; // stops the background sound if the engine started it
}

BOOL CPreviewWnd::Create(const RECT& rect, CWnd* pParentWnd)
{
    // A refused creation may or may not have reached the window procedure; either way the
    // object is gone when this returns FALSE.
    bool bDeleted = false;
    m_pbDeleted = &bDeleted;
    LPCSTR lpszClass =
        AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    const BOOL bCreated =
        lpszClass != nullptr &&
        CWnd::Create(lpszClass, "Preview", WS_CHILD | WS_VISIBLE, rect, pParentWnd, 0);
    if (bCreated)
    {
        m_pbDeleted = nullptr;
        return TRUE;
    }
    if (!bDeleted)
        delete this;
    return FALSE;
}

void CPreviewWnd::PostNcDestroy()
{
    if (m_pbDeleted != nullptr)
        *m_pbDeleted = true;
    delete this;
}

LRESULT CPreviewWnd::OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (Default() == -1)
        return -1;

    const CREATESTRUCTA* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    long long nWidth = static_cast<long long>(pCreate->cx) * FRAME_SCALE;
    long long nHeight = static_cast<long long>(pCreate->cy) * FRAME_SCALE;
    int nFireSize = 0;
    m_pSettings->GetInt(SETTING_FIRE_SIZE, nFireSize);
    if (FireSizeFromValue(nFireSize) == FIRE_SIZE_CLASSIC)
    {
        // The frame the full screen would run: the classic size of the primary monitor.
        const FrameSize frame =
            ClassicSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        nWidth = frame.nWidth;
        nHeight = frame.nHeight;
    }
    if (nWidth <= 0 || nHeight <= 0 || nWidth > INT_MAX || nHeight > INT_MAX)
        return -1;
    m_nWidth = static_cast<int>(nWidth);
    m_nHeight = static_cast<int>(nHeight);

    // The engine refuses frames it cannot work on, too small or too large for it.
    const CFrameSettings settings(*m_pSettings, m_nWidth, m_nHeight);
    if (!m_pVulkara->Init(settings))
        return -1;

    PaletteEntry aPalette[PALETTE_SIZE] = {};
    m_pVulkara->LoadPalette(aPalette);
    // Without its bitmap, or its thread, the window stays without content.
    if (m_output.Create(m_hWnd, m_nWidth, m_nHeight, aPalette))
        m_loop.Start(*m_pVulkara, m_output);
    return 0;
}

LRESULT CPreviewWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    m_loop.Stop();
    return Default();
}
