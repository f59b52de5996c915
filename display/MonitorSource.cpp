#include "MonitorSource.h"

#include <windows.h>

#include <string>

namespace
{
BOOL CALLBACK AddMonitor(HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam)
{
    auto* pMonitors = reinterpret_cast<std::vector<ScreenRect>*>(lParam);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoA(hMonitor, &info))
        return TRUE;
    const RECT& rc = info.rcMonitor;
    const ScreenRect rect = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        pMonitors->insert(pMonitors->begin(), rect);
    else
        pMonitors->push_back(rect);
    return TRUE;
}

std::vector<ScreenRect> SystemMonitors()
{
    std::vector<ScreenRect> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
    {
        // A system that lists none still has the primary screen.
        monitors.push_back(
            {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    }
    return monitors;
}
} // namespace

std::vector<ScreenRect> CurrentMonitors()
{
    char szText[1024] = {};
    const DWORD nLength = ::GetEnvironmentVariableA(FAKE_MONITORS_VARIABLE, szText, sizeof(szText));
    std::vector<ScreenRect> monitors;
    if (nLength > 0 && nLength < sizeof(szText) && ParseMonitorList(szText, monitors))
        return monitors;
    return SystemMonitors();
}

SaverRequest CurrentSaverRequest(const ISettingsReader& settings)
{
    DEVMODEA current = {};
    current.dmSize = sizeof(current);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current);
    return ReadSaverRequest(settings, static_cast<int>(current.dmPelsWidth),
                            static_cast<int>(current.dmPelsHeight));
}
