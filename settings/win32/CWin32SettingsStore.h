#pragma once

#include "ISettingsStore.h"

// The application's profile in the registry, through the application object's profile
// functions, and the system's own screen-saver settings. Include it before <windows.h>, whose
// macros would otherwise rename its profile members.
class CWin32SettingsStore : public ISettingsStore
{
public:
    int GetProfileInt(const char* pszSection, const char* pszEntry, int nDefault) override;
    std::string GetProfileString(const char* pszSection, const char* pszEntry,
                                 const std::string& strDefault) override;
    bool WriteProfileInt(const char* pszSection, const char* pszEntry, int nValue) override;
    bool WriteProfileString(const char* pszSection, const char* pszEntry,
                            const std::string& strValue) override;
    bool GetSystemPasswordOption(unsigned long& dwType, unsigned int& dwValue) override;
    void GetScreenSize(int& nWidth, int& nHeight) override;
};
