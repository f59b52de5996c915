#include "CVulkaraWnd.h"

#include "CPasswordDlg.h"
#include "CSaverSettings.h"
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
    return m_windows.GetPrimarySurface();
}

BOOL CVulkaraWnd::Create()
{
    static LPCSTR s_lpszClassName = nullptr;
    if (s_lpszClassName == nullptr)
        s_lpszClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    if (s_lpszClassName == nullptr || !m_windows.Plan())
        return FALSE;
    const ScreenRect& area = m_windows.GetPrimaryRect();
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
    switch (m_windows.Start(m_hWnd))
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
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &m_bOldScreenSaverRunning, 0);
    RegisterDisplayState();
    m_closeRule.Start();
    return TRUE;
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
        m_windows.Unpark();
    else
        m_windows.Park();
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
    // mode back late), and monitors may come and go: the windows follow the layout. The
    // saver's own mode change comes before there is a layout to follow, and its restore after.
    if (!m_windows.FollowLayout())
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
    UnregisterDisplayState();
    m_windows.Stop();
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
    m_windows.Hold();
}

void CVulkaraWnd::ResumeRendering()
{
    m_windows.Release();
}
