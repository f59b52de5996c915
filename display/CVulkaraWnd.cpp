#include "CVulkaraWnd.h"

#include "CDirectDrawOutput.h"
#include "CGdiOutput.h"
#include "CMonitorSettings.h"
#include "CMonitorWnd.h"
#include "CPasswordDlg.h"
#include "CSaverSettings.h"
#include "CVulkara.h"
#include "CWin32EnginePlatform.h"
#include "FireSize.h"
#include "MonitorSource.h"
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
// How often the saver looks for input that did not reach it as messages: a quarter of a
// second is quick enough to end it, and every look costs Wine's server several round trips.
constexpr UINT_PTR INPUT_WATCH_TIMER = 1;
constexpr UINT INPUT_WATCH_MILLISECONDS = 250;

// The console display's state as the power notifications report it: off, on or dimmed (a
// dimmed display is still seen, so the fire goes on).
const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD DISPLAY_STATE_OFF = 0;
// SC_MONITORPOWER's lParam: 2 off, 1 low power (still lit), -1 on.
constexpr LPARAM MONITOR_POWER_OFF = 2;
constexpr LPARAM MONITOR_POWER_ON = -1;

// Loaded at run time: the program also runs on systems whose user32 lacks them.
using RegisterPowerSettingNotificationFn = void*(WINAPI*)(HANDLE, LPCGUID, DWORD);
using UnregisterPowerSettingNotificationFn = BOOL(WINAPI*)(void*);

// The program targets systems older than these notifications, whose headers then lack them.
constexpr WPARAM POWER_SETTING_CHANGE = 0x8013; // PBT_POWERSETTINGCHANGE
struct SPowerSetting                            // POWERBROADCAST_SETTING
{
    GUID PowerSetting;
    DWORD DataLength;
    UCHAR Data[1];
};

template <typename Fn> Fn User32Function(const char* pszName)
{
    HMODULE hUser = ::GetModuleHandleA("user32.dll");
    FARPROC pProc = hUser != nullptr ? ::GetProcAddress(hUser, pszName) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(pProc));
}

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

CVulkaraWnd::CVulkaraWnd(MultiMonitorChoice choice) : m_choice(choice) {}

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

LRESULT CVulkaraWnd::OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (Default() == -1)
        return -1;
    const CREATESTRUCTA* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const RECT area = {pCreate->x, pCreate->y, pCreate->x + pCreate->cx, pCreate->y + pCreate->cy};
    return SetUp(area) ? 0 : -1;
}

BOOL CVulkaraWnd::SetUp(const RECT& area)
{
    CSaverSettings settings;
    settings.Load();
    const std::vector<PlannedWindow> plan = PlanSaverWindows(CurrentMonitors(), m_choice);
    const bool bSpan = m_choice == MULTI_MONITOR_SPAN;

    int nValue = 0;
    settings.GetInt(SETTING_FIRE_SIZE, nValue);
    m_bClassic = FireSizeFromValue(nValue) == FIRE_SIZE_CLASSIC;
    // The classic size is drawn by GDI alone: on the DirectDraw path the engine writes
    // straight into a surface of the display mode's size. One fire across is GDI's too.
    m_bUseDirectX =
        !m_bClassic && !bSpan && settings.GetInt(SETTING_USE_DIRECTX, nValue) && nValue != 0;
    settings.GetInt(SETTING_XRES, m_nXRes);
    settings.GetInt(SETTING_YRES, m_nYRes);
    const int nSettingsWidth = m_nXRes;
    const int nSettingsHeight = m_nYRes;
    // The window's own size, and the display left as it is: under the classic size (the
    // Resolution setting changes nothing there), for one fire across, and on GDI at the
    // display's size, where the display may stand for several monitors under a fake layout.
    // The DirectDraw path keeps its size and its mode change.
    DEVMODEA current = {};
    current.dmSize = sizeof(current);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current);
    const int nAreaWidth = area.right - area.left;
    const int nAreaHeight = area.bottom - area.top;
    const bool bDisplaySize = m_nXRes == static_cast<int>(current.dmPelsWidth) &&
                              m_nYRes == static_cast<int>(current.dmPelsHeight);
    const bool bAreaFrame = m_bClassic || bSpan || (!m_bUseDirectX && bDisplaySize);
    if (bAreaFrame)
    {
        m_nXRes = nAreaWidth;
        m_nYRes = nAreaHeight;
    }
    const FrameSize frame =
        EngineSizeFor(m_bClassic ? FIRE_SIZE_CLASSIC : FIRE_SIZE_SCREEN_PIXELS, m_nXRes, m_nYRes);
    m_nFrameWidth = frame.nWidth;
    m_nFrameHeight = frame.nHeight;
    // With one monitor the snapshot is the primary screen's, whatever its size by then.
    if (plan.size() > 1)
        m_pPlatform =
            std::make_unique<CWin32EnginePlatform>(area.left, area.top, nAreaWidth, nAreaHeight);
    m_pVulkara = m_pPlatform != nullptr ? new CVulkara(*m_pPlatform) : new CVulkara();
    const CMonitorSettings sized(settings, m_nFrameWidth, m_nFrameHeight, true);
    const bool bResized = m_nFrameWidth != nSettingsWidth || m_nFrameHeight != nSettingsHeight;
    const ISettingsReader& engineSettings =
        bResized ? static_cast<const ISettingsReader&>(sized) : settings;
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

    if (!SetUpOutput(aScene, aSystem, !bAreaFrame))
        return FALSE;
    // After the primary's mode change: the other monitors may have moved with it.
    if (!bSpan)
        CreateMonitorWindows(PlanSaverWindows(CurrentMonitors(), m_choice), settings);
    m_nStartClock = static_cast<long>(std::clock());
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &m_bOldScreenSaverRunning, 0);
    if (!m_loop.Start(*m_pVulkara, *m_pOutput))
    {
        StopAndRestore();
        return FALSE;
    }
    m_bFollowLayout = true;
    RegisterDisplayState();
    WatchInput();
    ::SetTimer(m_hWnd, INPUT_WATCH_TIMER, INPUT_WATCH_MILLISECONDS, nullptr);
    return TRUE;
}

void CVulkaraWnd::CreateMonitorWindows(const std::vector<PlannedWindow>& plan,
                                       const ISettingsReader& settings)
{
    for (const PlannedWindow& planned : plan)
    {
        if (planned.bPrimary)
            continue;
        auto pMonitor = std::make_unique<CMonitorWnd>(*this);
        if (!pMonitor->Create(planned.rect, planned.kind == SAVER_WINDOW_FIRE, settings))
            continue;
        if (pMonitor->GetEngine() != nullptr)
            m_loop.AddTarget(*pMonitor->GetEngine(), *pMonitor->GetOutput());
        m_monitors.push_back(std::move(pMonitor));
    }
}

void CVulkaraWnd::FollowLayout()
{
    const std::vector<PlannedWindow> plan = PlanSaverWindows(CurrentMonitors(), m_choice);
    if (plan.empty())
        return;
    const ScreenRect& primary = plan.front().rect;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, primary.nLeft, primary.nTop, primary.nWidth,
                   primary.nHeight, SWP_NOACTIVATE);
    if (m_choice == MULTI_MONITOR_SPAN)
        return; // one window, now over the new bounding rectangle

    // Unchanged monitors keep their windows and engines.
    bool bSame = plan.size() == m_monitors.size() + 1;
    for (size_t i = 1; bSame && i < plan.size(); ++i)
        bSame = plan[i].rect == m_monitors[i - 1]->GetRect() &&
                (plan[i].kind == SAVER_WINDOW_FIRE) == (m_monitors[i - 1]->GetOutput() != nullptr);
    if (bSame)
        return;

    // The old windows go before the new ones come, so that no monitor has two.
    const bool bHeld = g_bPauseRendering != 0;
    m_loop.Stop();
    m_loop.ClearExtraTargets();
    m_monitors.clear();
    CSaverSettings settings;
    settings.Load();
    CreateMonitorWindows(plan, settings);
    if (m_loop.Start(*m_pVulkara, *m_pOutput) && bHeld)
        m_loop.Hold(); // the password dialog is still up
}

void CVulkaraWnd::RegisterDisplayState()
{
    auto pRegister =
        User32Function<RegisterPowerSettingNotificationFn>("RegisterPowerSettingNotification");
    if (pRegister != nullptr && m_hDisplayStateNotify == nullptr)
        m_hDisplayStateNotify =
            pRegister(m_hWnd, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CVulkaraWnd::UnregisterDisplayState()
{
    auto pUnregister =
        User32Function<UnregisterPowerSettingNotificationFn>("UnregisterPowerSettingNotification");
    if (pUnregister != nullptr && m_hDisplayStateNotify != nullptr)
        pUnregister(m_hDisplayStateNotify);
    m_hDisplayStateNotify = nullptr;
}

void CVulkaraWnd::SetDisplayOn(bool bOn)
{
    if (bOn)
        m_loop.Unpark();
    else
        m_loop.Park();
}

bool CVulkaraWnd::IsOwnWindow(HWND hWnd)
{
    DWORD dwProcess = 0;
    return hWnd != nullptr && ::GetWindowThreadProcessId(hWnd, &dwProcess) != 0 &&
           dwProcess == ::GetCurrentProcessId();
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

LRESULT CVulkaraWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The low four bits of a system command are the system's own.
    const UINT nCommand = static_cast<UINT>(wParam & 0xFFF0);
    if (nCommand == SC_SCREENSAVE || nCommand == SC_CLOSE)
        return 0;
    if (nCommand == SC_MONITORPOWER && (lParam == MONITOR_POWER_OFF || lParam == MONITOR_POWER_ON))
        SetDisplayOn(lParam == MONITOR_POWER_ON);
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

LRESULT CVulkaraWnd::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Losing the focus to our own password dialog is expected, and to a window of our own
    // on another monitor is no leaving of the saver.
    if (LOWORD(wParam) == WA_INACTIVE && !g_bPauseRendering &&
        !IsOwnWindow(reinterpret_cast<HWND>(lParam)))
        PostClose();
    return Default();
}

LRESULT CVulkaraWnd::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // The rule counts in screen coordinates: the pointer may cross to another monitor's window.
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    ApplyMouseRule(pt);
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
    NoteInputMessage();
    bHandled = FALSE;
    return 0;
}

void CVulkaraWnd::NoteInputMessage()
{
    // Input that reaches a window as messages is judged by the message rules. The system
    // stamps its last input when it queues it, which is not the message's own time.
    LASTINPUTINFO info = {sizeof(info), 0};
    ::GetLastInputInfo(&info);
    m_dwInputSeen = info.dwTime;
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
    // mode back late): the saver keeps covering all of it. With several monitors, or a monitor
    // added, the windows follow the layout; the saver's own mode change comes before there is
    // a layout to follow, and its restore after.
    if (m_bFollowLayout && (!m_monitors.empty() || CurrentMonitors().size() > 1))
        FollowLayout();
    else
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

LRESULT CVulkaraWnd::OnPowerBroadcast(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (wParam == PBT_APMQUERYSUSPEND)
        return BROADCAST_QUERY_DENY;
    const auto* pSetting = reinterpret_cast<const SPowerSetting*>(lParam);
    if (wParam == POWER_SETTING_CHANGE && pSetting != nullptr &&
        ::IsEqualGUID(pSetting->PowerSetting, kConsoleDisplayState) &&
        pSetting->DataLength >= sizeof(DWORD))
    {
        DWORD dwState = 0;
        std::memcpy(&dwState, pSetting->Data, sizeof(dwState));
        SetDisplayOn(dwState != DISPLAY_STATE_OFF);
        return TRUE;
    }
    return Default();
}

BOOL CVulkaraWnd::SetUpOutput(const PALETTEENTRY* pScene, const PALETTEENTRY* pSystem,
                              bool bSetMode)
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
                                     : pGdi->Create(m_hWnd, m_nXRes, m_nYRes, pScene, bSetMode);
    if (!bCreated)
        return FALSE;
    m_pOutput = std::move(pGdi);
    return TRUE;
}

void CVulkaraWnd::StopAndRestore()
{
    m_bFollowLayout = false;
    UnregisterDisplayState();
    m_loop.Stop();
    // The other monitors' windows go before the display's mode comes back.
    m_loop.ClearExtraTargets();
    m_monitors.clear();
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
