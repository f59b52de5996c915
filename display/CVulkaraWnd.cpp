#include "CVulkaraWnd.h"

#include "CMonitorWnd.h"
#include "CPasswordDlg.h"
#include "CWindowFire.h"
#include "IFrameOutput.h"
#include "MonitorSource.h"
#include "SettingIndex.h"

#include <cstring>

namespace
{
const char kEngineInitMessage[] = "m_pVulkara initialization's fault.";
const char kPaletteMessage[] = "Can't load palette from resource library.";

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

} // namespace

CVulkaraWnd::CVulkaraWnd() : CSaverWnd(m_closeRule) {}

CVulkaraWnd::~CVulkaraWnd()
{
    // A window destroyed without passing the close rule still must not pull the engine or
    // the display from under its render loop.
    StopAndRestore();
}

LPDIRECTDRAWSURFACE CVulkaraWnd::GetPrimarySurface() const
{
    return m_pFire != nullptr ? m_pFire->GetPrimarySurface() : nullptr;
}

BOOL CVulkaraWnd::Create()
{
    m_settings.Load();
    m_request = CurrentSaverRequest(m_settings);
    m_plan = PlanSaverWindows(CurrentMonitors(), m_request);
    static LPCSTR s_lpszClassName = nullptr;
    if (s_lpszClassName == nullptr)
        s_lpszClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    if (s_lpszClassName == nullptr || m_plan.empty())
        return FALSE;
    const ScreenRect& area = m_plan.front().rect;
    const RECT rect = {area.nLeft, area.nTop, area.Right(), area.Bottom()};
    if (!CreateEx(WS_EX_TOPMOST, s_lpszClassName, nullptr, WS_POPUP | WS_VISIBLE, rect, nullptr, 0))
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

LRESULT CVulkaraWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    if (Default() == -1)
        return -1;
    return SetUp() ? 0 : -1;
}

BOOL CVulkaraWnd::SetUp()
{
    const PlannedWindow& primary = m_plan.front();
    switch (CWindowFire::Build(primary, m_hWnd, m_settings, m_pFire))
    {
    case CWindowFire::BUILT:
        break;
    case CWindowFire::NO_ENGINE:
        AfxMessageBox(kEngineInitMessage, MB_OK);
        return FALSE;
    case CWindowFire::NO_PALETTE:
        AfxMessageBox(kPaletteMessage, MB_OK);
        return FALSE;
    case CWindowFire::NO_OUTPUT:
        return FALSE;
    }
    // The primary's own mode change may have moved the other monitors.
    if (primary.bSetMode)
        m_plan = PlanSaverWindows(CurrentMonitors(), m_request);
    CreateMonitorWindows(m_plan);
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &m_bOldScreenSaverRunning, 0);
    if (!m_loop.Start(m_pFire->GetEngine(), m_pFire->GetOutput()))
    {
        StopAndRestore();
        return FALSE;
    }
    m_bFollowLayout = true;
    RegisterDisplayState();
    m_closeRule.Start();
    return TRUE;
}

void CVulkaraWnd::CreateMonitorWindows(const std::vector<PlannedWindow>& plan)
{
    for (const PlannedWindow& planned : plan)
    {
        if (planned.bPrimary)
            continue;
        auto pMonitor = std::make_unique<CMonitorWnd>(m_closeRule);
        if (!pMonitor->Create(planned, m_settings))
            continue;
        // Kept before it is drawn: the loop must never hold an engine nobody owns.
        m_monitors.push_back(std::move(pMonitor));
        const CMonitorWnd& monitor = *m_monitors.back();
        if (monitor.GetEngine() != nullptr)
            m_loop.AddTarget(*monitor.GetEngine(), *monitor.GetOutput());
    }
}

void CVulkaraWnd::FollowLayout()
{
    const std::vector<PlannedWindow> plan = PlanSaverWindows(CurrentMonitors(), m_request);
    if (plan.empty())
        return;
    const ScreenRect& area = plan.front().rect;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, area.nLeft, area.nTop, area.nWidth, area.nHeight,
                   SWP_NOACTIVATE);
    // A fire at the window's size follows it; one that changed the display's mode keeps it.
    PlannedWindow built = m_pFire->GetPlan();
    built.rect = plan.front().rect;
    built.bDirectDraw = plan.front().bDirectDraw;
    const bool bPrimary = built != plan.front();
    // Unchanged monitors keep their windows and engines.
    bool bOthers = plan.size() != m_monitors.size() + 1;
    for (size_t i = 1; !bOthers && i < plan.size(); ++i)
        bOthers = plan[i] != m_monitors[i - 1]->GetPlan();
    if (!bPrimary && !bOthers)
        return;
    const bool bHeld = g_bPauseRendering != 0;
    m_loop.Stop();
    try
    {
        FollowLayoutStopped(plan, bPrimary, bOthers);
    }
    catch (const std::exception&)
    {
        // Out of memory while rebuilding: the fire goes on with what there is.
    }
    if (m_loop.Start(m_pFire->GetEngine(), m_pFire->GetOutput()) && bHeld)
        m_loop.Hold(); // the password dialog is still up
}

void CVulkaraWnd::FollowLayoutStopped(const std::vector<PlannedWindow>& plan, bool bPrimary,
                                      bool bOthers)
{
    if (bPrimary)
    {
        // The window's output is made anew for its new size; when that fails the old one
        // draws on at the old size.
        std::unique_ptr<CWindowFire> pFire;
        if (CWindowFire::Build(plan.front(), m_hWnd, m_settings, pFire, m_pFire.get()) ==
            CWindowFire::BUILT)
            m_pFire = std::move(pFire);
    }
    if (bOthers)
    {
        // The old windows go before the new ones come, so that no monitor has two.
        m_loop.ClearExtraTargets();
        m_monitors.clear();
        CreateMonitorWindows(plan);
    }
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

LRESULT CVulkaraWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // A password dialog is up: it decides.
    if (m_closeRule.IsDialogUp())
        return 0;
    CSaverSettings settings;
    settings.Load();
    int bUsePassword = 0;
    settings.GetInt(SETTING_SCREENSAVE_USE_PASSWORD, bUsePassword);
    if (bUsePassword && !VerifyPassword())
        return 0;
    StopAndRestore();
    return Default();
}

LRESULT CVulkaraWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    // The low four bits of a system command are the system's own. The commands every saver
    // window refuses are refused after this.
    if ((wParam & 0xFFF0) == SC_MONITORPOWER &&
        (lParam == MONITOR_POWER_OFF || lParam == MONITOR_POWER_ON))
        SetDisplayOn(lParam == MONITOR_POWER_ON);
    bHandled = FALSE;
    return 0;
}

LRESULT CVulkaraWnd::OnDisplayChange(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // The display may settle at another size after creation (an earlier program putting its
    // mode back late): the saver keeps covering all of it. With several monitors, or a monitor
    // added, the windows follow the layout; the saver's own mode change comes before there is
    // a layout to follow, and its restore after.
    if (m_bFollowLayout)
        FollowLayout();
    else
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOACTIVATE);
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

void CVulkaraWnd::StopAndRestore()
{
    m_bFollowLayout = false;
    UnregisterDisplayState();
    m_loop.Stop();
    // The other monitors' windows go before the display's mode comes back.
    m_loop.ClearExtraTargets();
    m_monitors.clear();
    if (m_pFire != nullptr)
        m_pFire->GetOutput().RestoreDisplay();
}

BOOL CVulkaraWnd::VerifyPassword()
{
    m_closeRule.SetDialogUp(true);
    PauseRendering();
    CPasswordDlg dlg(this);
    const INT_PTR nResult = dlg.DoModal();
    ResumeRendering();
    m_closeRule.SetDialogUp(false);
    return nResult == IDOK;
}

void CVulkaraWnd::PauseRendering()
{
    if (g_bPauseRendering || !g_bRenderThreadRunning)
        return;
    m_loop.Hold();
    m_pFire->GetOutput().UseSystemColours(true);
}

void CVulkaraWnd::ResumeRendering()
{
    if (!g_bPauseRendering || !g_bRenderThreadRunning)
        return;
    m_pFire->GetOutput().UseSystemColours(false);
    m_loop.Release();
}
