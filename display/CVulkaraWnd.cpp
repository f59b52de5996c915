#include "CVulkaraWnd.h"

#include "CDirectDrawOutput.h"
#include "CGdiOutput.h"
#include "CPasswordDlg.h"
#include "CPreviewSettings.h"
#include "CSaverSettings.h"
#include "CVulkara.h"
#include "FireSize.h"
#include "SettingIndex.h"

#include <windowsx.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace
{
const char kEngineInitMessage[] = "m_pVulkara initialization's fault.";
const char kPaletteMessage[] = "Can't load palette from resource library.";

// Mouse moves in the first second after the output set-up are ignored: the move that comes
// with the window itself must not end the saver.
constexpr long GRACE_MILLISECONDS = 1000;
// How far the pointer may wander from the first position seen after the grace period.
constexpr int MOUSE_THRESHOLD = 15;
constexpr int DEFAULT_PALETTE_SIZE = 20;
// How often the saver looks for input that did not reach it as messages.
constexpr UINT_PTR INPUT_WATCH_TIMER = 1;
constexpr UINT INPUT_WATCH_MILLISECONDS = 100;

// The system palette. A desktop of more than 8 bits per pixel has none; the dialog drawn
// while the saver holds still needs the system's colours, so take the default palette's
// twenty static colours at both ends of the table and black between them.
void ReadSystemPalette(PALETTEENTRY aSystem[PALETTE_SIZE])
{
    HDC hScreen = ::GetDC(nullptr);
    const UINT nRead =
        hScreen != nullptr ? ::GetSystemPaletteEntries(hScreen, 0, PALETTE_SIZE, aSystem) : 0;
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    if (nRead == PALETTE_SIZE)
        return;

    std::memset(aSystem, 0, sizeof(PALETTEENTRY) * PALETTE_SIZE);
    PALETTEENTRY aDefault[DEFAULT_PALETTE_SIZE] = {};
    const UINT nDefault =
        ::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0,
                            DEFAULT_PALETTE_SIZE, aDefault);
    const UINT nHalf = nDefault / 2;
    for (UINT i = 0; i < nHalf; ++i)
    {
        aSystem[i] = aDefault[i];
        aSystem[PALETTE_SIZE - nHalf + i] = aDefault[nDefault - nHalf + i];
    }
    for (int i = 0; i < PALETTE_SIZE; ++i)
        aSystem[i].peFlags = 0;
}
} // namespace

CVulkaraWnd::CVulkaraWnd()
{
    m_pVulkara = new CVulkara();
}

CVulkaraWnd::~CVulkaraWnd()
{
    // A window destroyed without passing the close rule still must not pull the engine or
    // the display from under its render loop.
    StopAndRestore();
    delete m_pVulkara;
}

LPDIRECTDRAWSURFACE CVulkaraWnd::GetPrimarySurface() const
{
    return m_pDirectDraw != nullptr ? m_pDirectDraw->GetPrimarySurface() : nullptr;
}

BOOL CVulkaraWnd::Create(const RECT& rect, CWnd* pParentWnd)
{
    static LPCSTR s_lpszClassName = nullptr;
    if (s_lpszClassName == nullptr)
        s_lpszClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    if (s_lpszClassName == nullptr)
        return FALSE;
    if (!CreateEx(WS_EX_TOPMOST, s_lpszClassName, nullptr, WS_POPUP | WS_VISIBLE, rect, pParentWnd,
                  0))
        return FALSE;
    // A saver started while another program (or the saver before it) still holds the
    // foreground would otherwise get no keys.
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
    return TRUE;
}

void CVulkaraWnd::PostNcDestroy()
{
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &m_bOldScreenSaverRunning, 0);
    CWnd::PostNcDestroy();
    delete this;
}

void CVulkaraWnd::PostClose()
{
    ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

LRESULT CVulkaraWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    if (Default() == -1)
        return -1;
    return SetUp() ? 0 : -1;
}

BOOL CVulkaraWnd::SetUp()
{
    CSaverSettings settings;
    settings.Load();
    int nValue = 0;
    settings.GetInt(SETTING_FIRE_SIZE, nValue);
    m_bClassic = FireSizeFromValue(nValue) == FIRE_SIZE_CLASSIC;
    settings.GetInt(SETTING_XRES, m_nXRes);
    settings.GetInt(SETTING_YRES, m_nYRes);
    if (m_bClassic)
    {
        // The window keeps the display as it is; the Resolution setting changes nothing here.
        RECT rcClient = {};
        ::GetClientRect(m_hWnd, &rcClient);
        m_nXRes = rcClient.right - rcClient.left;
        m_nYRes = rcClient.bottom - rcClient.top;
    }
    const FrameSize frame =
        EngineSizeFor(m_bClassic ? FIRE_SIZE_CLASSIC : FIRE_SIZE_SCREEN_PIXELS, m_nXRes, m_nYRes);
    m_nFrameWidth = frame.nWidth;
    m_nFrameHeight = frame.nHeight;
    const CPreviewSettings classicSettings(&settings, m_nFrameWidth, m_nFrameHeight);
    const ISettingsReader& engineSettings =
        m_bClassic ? static_cast<const ISettingsReader&>(classicSettings) : settings;
    if (!m_pVulkara->Init(engineSettings))
    {
        AfxMessageBox(kEngineInitMessage, MB_OK);
        return FALSE;
    }
    PALETTEENTRY aScene[PALETTE_SIZE] = {};
    if (!m_pVulkara->LoadPalette(reinterpret_cast<PaletteEntry*>(aScene)))
    {
        AfxMessageBox(kPaletteMessage, MB_OK);
        return FALSE;
    }
    PALETTEENTRY aSystem[PALETTE_SIZE] = {};
    ReadSystemPalette(aSystem);

    // The classic size is drawn by GDI alone: on the DirectDraw path the engine writes
    // straight into a surface of the display mode's size.
    m_bUseDirectX = !m_bClassic && settings.GetInt(SETTING_USE_DIRECTX, nValue) && nValue != 0;

    if (!SetUpOutput(aScene, aSystem))
        return FALSE;
    m_nStartClock = static_cast<long>(std::clock());
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &m_bOldScreenSaverRunning, 0);
    if (!m_loop.Start(*m_pVulkara, *m_pOutput))
    {
        StopAndRestore();
        return FALSE;
    }
    WatchInput();
    ::SetTimer(m_hWnd, INPUT_WATCH_TIMER, INPUT_WATCH_MILLISECONDS, nullptr);
    return TRUE;
}

LRESULT CVulkaraWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // A password dialog is up: it decides.
    if (g_bPauseRendering)
        return 0;
    CSaverSettings settings;
    settings.Load();
    int bUsePassword = 0;
    settings.GetInt(SETTING_SCREENSAVE_USE_PASSWORD, bUsePassword);
    if (bUsePassword && !VerifyPassword())
    {
        // Only a move away from where the pointer is now asks again; the typing into the
        // dialog is not new input.
        ::GetCursorPos(&m_ptMouseRef);
        WatchInput();
        return 0;
    }
    StopAndRestore();
    return Default();
}

LRESULT CVulkaraWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // The low four bits of a system command are the system's own.
    const UINT nCommand = static_cast<UINT>(wParam & 0xFFF0);
    if (nCommand == SC_SCREENSAVE || nCommand == SC_CLOSE)
        return 0;
    return Default();
}

LRESULT CVulkaraWnd::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SetCursor(nullptr);
    return Default();
}

LRESULT CVulkaraWnd::OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (!wParam)
        PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Losing the focus to our own password dialog is expected.
    if (LOWORD(wParam) == WA_INACTIVE && !g_bPauseRendering)
        PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    ApplyMouseRule({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return Default();
}

void CVulkaraWnd::ApplyMouseRule(POINT pt)
{
    if (static_cast<long>(std::clock()) - m_nStartClock <= GRACE_MILLISECONDS)
        return;
    if (m_ptMouseRef.x == -1 && m_ptMouseRef.y == -1)
        m_ptMouseRef = pt;
    else if (std::abs(pt.x - m_ptMouseRef.x) > MOUSE_THRESHOLD ||
             std::abs(pt.y - m_ptMouseRef.y) > MOUSE_THRESHOLD)
        PostClose();
}

void CVulkaraWnd::WatchInput()
{
    LASTINPUTINFO info = {sizeof(info), 0};
    ::GetLastInputInfo(&info);
    m_dwLastInput = info.dwTime;
    ::GetCursorPos(&m_ptLastCursor);
}

LRESULT CVulkaraWnd::OnAnyInput(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    // Input that reaches the window as messages is judged by the message rules. The system
    // stamps its last input when it queues it, which is not the message's own time.
    LASTINPUTINFO info = {sizeof(info), 0};
    ::GetLastInputInfo(&info);
    m_dwInputSeen = info.dwTime;
    bHandled = FALSE;
    return 0;
}

LRESULT CVulkaraWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Input may go elsewhere when the saver did not get the foreground, or the pointer sits
    // where no window of this process is: the system's record of the last input and the
    // pointer's position still tell. A dialog up has its own input.
    if (wParam != INPUT_WATCH_TIMER)
        return Default();
    if (g_bPauseRendering)
        return 0;
    const DWORD dwLastInput = m_dwLastInput;
    const POINT ptLast = m_ptLastCursor;
    WatchInput();
    // The release of a key pressed before the saver started is no reason to end it.
    if (static_cast<long>(std::clock()) - m_nStartClock <= GRACE_MILLISECONDS)
        return 0;
    const bool bMoved = m_ptLastCursor.x != ptLast.x || m_ptLastCursor.y != ptLast.y;
    if (bMoved)
        ApplyMouseRule(m_ptLastCursor);
    else if (m_dwLastInput != dwLastInput && m_dwLastInput != m_dwInputSeen)
        PostClose(); // a key or a button that no message brought
    return 0;
}

LRESULT CVulkaraWnd::OnDisplayChange(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // The display may settle at another size after creation (an earlier program putting its
    // mode back late): the saver keeps covering all of it.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOACTIVATE);
    return Default();
}

LRESULT CVulkaraWnd::OnUserInput(UINT, WPARAM, LPARAM, BOOL&)
{
    PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Nothing else may take the focus from the saver, except its own dialog.
    if (!wParam && !g_bPauseRendering)
        return FALSE;
    return Default();
}

LRESULT CVulkaraWnd::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnCancelMode(UINT, WPARAM, LPARAM, BOOL&)
{
    PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnPowerBroadcast(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam == PBT_APMQUERYSUSPEND)
        return BROADCAST_QUERY_DENY;
    return Default();
}

BOOL CVulkaraWnd::SetUpOutput(const PALETTEENTRY* pScene, const PALETTEENTRY* pSystem)
{
    if (m_bUseDirectX)
    {
        auto pDirectDraw = std::make_unique<CDirectDrawOutput>();
        m_bUseDirectX = pDirectDraw->Create(m_hWnd, m_nXRes, m_nYRes, pScene, pSystem);
        if (m_bUseDirectX)
        {
            m_pDirectDraw = pDirectDraw.get();
            m_pOutput = std::move(pDirectDraw);
            return TRUE;
        }
    }
    auto pGdi = std::make_unique<CGdiOutput>();
    const BOOL bCreated = m_bClassic ? pGdi->CreateStretched(m_hWnd, m_nFrameWidth, m_nFrameHeight,
                                                             m_nXRes, m_nYRes, pScene)
                                     : pGdi->Create(m_hWnd, m_nXRes, m_nYRes, pScene);
    if (!bCreated)
        return FALSE;
    m_pOutput = std::move(pGdi);
    return TRUE;
}

void CVulkaraWnd::StopAndRestore()
{
    m_loop.Stop();
    if (m_pOutput != nullptr)
        m_pOutput->RestoreDisplay();
}

BOOL CVulkaraWnd::VerifyPassword()
{
    PauseRendering();
    CPasswordDlg dlg(this);
    const INT_PTR nResult = dlg.DoModal();
    ResumeRendering();
    return nResult == IDOK;
}

void CVulkaraWnd::PauseRendering()
{
    if (g_bPauseRendering || !g_bRenderThreadRunning)
        return;
    m_loop.Hold();
    m_pOutput->UseSystemColours(true);
}

void CVulkaraWnd::ResumeRendering()
{
    if (!g_bPauseRendering || !g_bRenderThreadRunning)
        return;
    m_pOutput->UseSystemColours(false);
    m_loop.Release();
}
