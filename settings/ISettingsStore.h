#pragma once

#include <string>

// What the settings record needs of the platform: the application's profile (the registry
// section below the key that the application object fixes), the system's screen-saver
// password option and the current screen size. The Win32 store reaches the real registry;
// the in-memory store serves tests and tools.
class ISettingsStore
{
public:
    virtual int GetProfileInt(const char* pszSection, const char* pszEntry, int nDefault) = 0;
    virtual std::string GetProfileString(const char* pszSection, const char* pszEntry,
                                         const std::string& strDefault) = 0;
    virtual bool WriteProfileInt(const char* pszSection, const char* pszEntry, int nValue) = 0;
    virtual bool WriteProfileString(const char* pszSection, const char* pszEntry,
                                    const std::string& strValue) = 0;

    // Reads HKCU "Control Panel\Desktop" "ScreenSaveUsePassword" into a 4-byte buffer, the
    // way SHGetValueA does: true when the call succeeded, with the reported type and data.
    virtual bool GetSystemPasswordOption(unsigned long& dwType, unsigned int& dwValue) = 0;

    // The size of the whole screen in pixels.
    virtual void GetScreenSize(int& nWidth, int& nHeight) = 0;

protected:
    ~ISettingsStore() = default;
};

// The store that records use when none is given: the registry on Windows, a process-wide
// in-memory store elsewhere.
ISettingsStore& DefaultSettingsStore();
