#include "ScrSettings.h"

#include "CSaverSettings.h"
#include "SettingsTable.h"

namespace
{
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kPasswordOption[] = "ScreenSaveUsePassword";
const char kProgramKey[] = "Software\\Tarvikon\\Vulkara\\";

void SetValue(const std::string& strKey, const char* pszName, DWORD dwType, const void* pData,
              DWORD cbData)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &hKey, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(hKey, pszName, 0, dwType, static_cast<const BYTE*>(pData), cbData);
    ::RegCloseKey(hKey);
}
} // namespace

CSaverRegistry::CSaverRegistry(const char* pszProfile)
    : m_strProfileKey(std::string(kProgramKey) + pszProfile)
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, (m_strProfileKey + "\\Config").c_str());
}

CSaverRegistry::~CSaverRegistry()
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, (m_strProfileKey + "\\Config").c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, m_strProfileKey.c_str());
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_WRITE, &hKey) == ERROR_SUCCESS)
    {
        ::RegDeleteValueA(hKey, kPasswordOption);
        ::RegCloseKey(hKey);
    }
}

void CSaverRegistry::SetInt(SettingIndex nIndex, DWORD dwValue)
{
    SetValue(m_strProfileKey + "\\Config", SettingRowOf(nIndex).pszName, REG_DWORD, &dwValue,
             sizeof(dwValue));
}

void CSaverRegistry::SetPassword(const std::string& strPassword)
{
    const std::string strStored = CSaverSettings::ScramblePassword(strPassword);
    SetValue(m_strProfileKey + "\\Config", SettingRowOf(SETTING_PASSWORD).pszName, REG_SZ,
             strStored.c_str(), static_cast<DWORD>(strStored.size() + 1));
}

void CSaverRegistry::SetSystemPasswordOption(DWORD dwValue)
{
    SetValue(kDesktopKey, kPasswordOption, REG_DWORD, &dwValue, sizeof(dwValue));
}

void CSaverRegistry::SetSystemPasswordOptionText(const char* pszValue)
{
    SetValue(kDesktopKey, kPasswordOption, REG_SZ, pszValue,
             static_cast<DWORD>(lstrlenA(pszValue) + 1));
}

void CSaverRegistry::SetQuietSaver(BOOL bUseDirectX)
{
    SetInt(SETTING_USE_DIRECTX, bUseDirectX ? 1 : 0);
    SetInt(SETTING_BACKGROUND_SOUND, 0);
    SetInt(SETTING_FADE_SCREEN, 0);
}
