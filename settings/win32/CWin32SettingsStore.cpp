#include "CWinApp.h"

#include <windows.h>
#include <shlwapi.h>

namespace
{
const char* const DESKTOP_KEY = "Control Panel\\Desktop";
const char* const PASSWORD_OPTION_VALUE = "ScreenSaveUsePassword";

// <windows.h> renames GetProfileInt, GetProfileString and WriteProfileString to their ANSI
// forms, and the application object's members carry those names. These forwarders reach them
// before the names are given back to the portable store interface below.
UINT AppGetProfileInt(CWinApp& app, LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    return app.GetProfileInt(lpszSection, lpszEntry, nDefault);
}

std::string AppGetProfileString(CWinApp& app, LPCSTR lpszSection, LPCSTR lpszEntry,
                                LPCSTR lpszDefault)
{
    return app.GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

BOOL AppWriteProfileString(CWinApp& app, LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    return app.WriteProfileString(lpszSection, lpszEntry, lpszValue);
}
} // namespace

#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

#include "CWin32SettingsStore.h"

// Without an application object there is no profile location: reads give their defaults and
// writes fail, as when the section cannot be opened.

int CWin32SettingsStore::GetProfileInt(const char* pszSection, const char* pszEntry, int nDefault)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
    {
        return nDefault;
    }
    return static_cast<int>(AppGetProfileInt(*pApp, pszSection, pszEntry, nDefault));
}

std::string CWin32SettingsStore::GetProfileString(const char* pszSection, const char* pszEntry,
                                                  const std::string& strDefault)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
    {
        return strDefault;
    }
    return AppGetProfileString(*pApp, pszSection, pszEntry, strDefault.c_str());
}

bool CWin32SettingsStore::WriteProfileInt(const char* pszSection, const char* pszEntry, int nValue)
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->WriteProfileInt(pszSection, pszEntry, nValue) != FALSE;
}

bool CWin32SettingsStore::WriteProfileString(const char* pszSection, const char* pszEntry,
                                             const std::string& strValue)
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr &&
           AppWriteProfileString(*pApp, pszSection, pszEntry, strValue.c_str()) != FALSE;
}

bool CWin32SettingsStore::GetSystemPasswordOption(unsigned long& dwType, unsigned int& dwValue)
{
    DWORD dwQueryType = 0;
    DWORD dwData = 0;
    DWORD cbData = sizeof(dwData);
    if (SHGetValueA(HKEY_CURRENT_USER, DESKTOP_KEY, PASSWORD_OPTION_VALUE, &dwQueryType, &dwData,
                    &cbData) != ERROR_SUCCESS)
    {
        return false;
    }
    dwType = dwQueryType;
    dwValue = dwData;
    return true;
}

void CWin32SettingsStore::GetScreenSize(int& nWidth, int& nHeight)
{
    HDC hdc = GetDC(nullptr);
    nWidth = GetDeviceCaps(hdc, HORZRES);
    nHeight = GetDeviceCaps(hdc, VERTRES);
    ReleaseDC(nullptr, hdc);
}

ISettingsStore& DefaultSettingsStore()
{
    static CWin32SettingsStore s_store;
    return s_store;
}
