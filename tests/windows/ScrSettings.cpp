#include "ScrSettings.h"

#include "CSaverSettings.h"
#include "SettingsTable.h"
#include "WinTestUtil.h"

namespace
{

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

CSaverRegistry::CSaverRegistry(const char* pszProfile) : m_strProfile(pszProfile)
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ConfigKeyPath(m_strProfile).c_str());
}

CSaverRegistry::~CSaverRegistry()
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ConfigKeyPath(m_strProfile).c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ProfileKeyPath(m_strProfile).c_str());
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_WRITE, &hKey) == ERROR_SUCCESS)
    {
        ::RegDeleteValueA(hKey, PASSWORD_OPTION);
        ::RegCloseKey(hKey);
    }
}

void CSaverRegistry::SetInt(SettingIndex nIndex, DWORD dwValue)
{
    SetValue(ConfigKeyPath(m_strProfile), SettingRowOf(nIndex).pszName, REG_DWORD, &dwValue,
             sizeof(dwValue));
}

void CSaverRegistry::SetPassword(const std::string& strPassword)
{
    const std::string strStored = CSaverSettings::ScramblePassword(strPassword);
    SetValue(ConfigKeyPath(m_strProfile), SettingRowOf(SETTING_PASSWORD).pszName, REG_SZ,
             strStored.c_str(), static_cast<DWORD>(strStored.size() + 1));
}

void CSaverRegistry::SetSystemPasswordOption(DWORD dwValue)
{
    SetValue(DESKTOP_KEY, PASSWORD_OPTION, REG_DWORD, &dwValue, sizeof(dwValue));
}

void CSaverRegistry::SetSystemPasswordOptionText(const char* pszValue)
{
    SetValue(DESKTOP_KEY, PASSWORD_OPTION, REG_SZ, pszValue,
             static_cast<DWORD>(lstrlenA(pszValue) + 1));
}

void CSaverRegistry::SetQuietSaver(BOOL bUseDirectX)
{
    SetInt(SETTING_USE_DIRECTX, bUseDirectX ? 1 : 0);
    SetInt(SETTING_BACKGROUND_SOUND, 0);
    SetInt(SETTING_FADE_SCREEN, 0);
}
