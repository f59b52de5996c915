#include "CSavedDisplayMode.h"

#include <cstring>

BOOL CSavedDisplayMode::Save()
{
    // The primary monitor holds the origin; the default display of the mode calls is that one.
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(info);
    const POINT origin = {0, 0};
    if (!::GetMonitorInfoA(::MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info))
        info.szDevice[0] = '\0';
    std::memcpy(m_szDevice, info.szDevice, sizeof(m_szDevice));
    m_mode = {};
    m_mode.dmSize = sizeof(m_mode);
    m_bSaved = ::EnumDisplaySettingsA(Device(), ENUM_CURRENT_SETTINGS, &m_mode) != FALSE;
    return m_bSaved;
}

BOOL CSavedDisplayMode::SetSize(int nWidth, int nHeight) const
{
    // Only the resolution changes; the colour depth stays the desktop's.
    DEVMODEA devMode = m_mode;
    devMode.dmSize = sizeof(devMode);
    devMode.dmPelsWidth = static_cast<DWORD>(nWidth);
    devMode.dmPelsHeight = static_cast<DWORD>(nHeight);
    devMode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ::ChangeDisplaySettingsExA(Device(), &devMode, nullptr, CDS_FULLSCREEN, nullptr) ==
           DISP_CHANGE_SUCCESSFUL;
}

bool CSavedDisplayMode::IsSize(int nWidth, int nHeight) const
{
    DEVMODEA now = {};
    now.dmSize = sizeof(now);
    return ::EnumDisplaySettingsA(Device(), ENUM_CURRENT_SETTINGS, &now) &&
           static_cast<int>(now.dmPelsWidth) == nWidth &&
           static_cast<int>(now.dmPelsHeight) == nHeight;
}

bool CSavedDisplayMode::IsCurrent() const
{
    return !m_bSaved ||
           IsSize(static_cast<int>(m_mode.dmPelsWidth), static_cast<int>(m_mode.dmPelsHeight));
}

void CSavedDisplayMode::Restore() const
{
    if (m_bSaved)
        SetSize(static_cast<int>(m_mode.dmPelsWidth), static_cast<int>(m_mode.dmPelsHeight));
}
