#pragma once

// Registry values the saver reads, set for one test and taken away again: the settings of a
// profile (the test program's own, or the real vulkara.scr's) and the system's screen-saver
// password option.

#include "SettingIndex.h"

#include <windows.h>

#include <string>

class CSaverRegistry
{
public:
    // pszProfile: the application name under the program's registry key.
    explicit CSaverRegistry(const char* pszProfile);
    // Removes the profile's settings and the system option again.
    ~CSaverRegistry();

    CSaverRegistry(const CSaverRegistry&) = delete;
    CSaverRegistry& operator=(const CSaverRegistry&) = delete;

    void SetInt(SettingIndex nIndex, DWORD dwValue);
    // The password as the settings record stores it (scrambled).
    void SetPassword(const std::string& strPassword);

    // The system's option as a number, or as a text, which does not count.
    void SetSystemPasswordOption(DWORD dwValue);
    void SetSystemPasswordOptionText(const char* pszValue);

    // A quick, quiet saver: no sound, no desktop overlay, the given path at the current size.
    void SetQuietSaver(BOOL bUseDirectX);

private:
    std::string m_strProfile;
};
