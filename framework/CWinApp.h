#pragma once

#include <windows.h>

#include <string>

// The application's profile functions below share their names with the old initialisation-file
// calls of the Windows headers, which are macros; the program never uses those.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

class CWnd;

// The application object. Exactly one exists per process (a static object of a derived
// class); the framework's WinMain drives it: InitInstance, the message loop when that returns
// TRUE, then ExitInstance, whose result is the exit code.
class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Fixes the profile location: HKCU\Software\<key>\<application name>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);

    // Profile functions on the section below the registry key. Opening a section creates the
    // keys that are missing. GetProfileInt reads 4 bytes whatever the stored type.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    std::string GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = "");
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);

    // Opens (creating) HKCU\Software\<key>\<app>\<section> with read and write access; the
    // caller closes the key. Returns NULL when no registry key is set or the open fails.
    HKEY GetSectionKey(LPCSTR lpszSection);

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;     // module file name without directory and extension
    LPCSTR m_pszRegistryKey = nullptr; // as given to SetRegistryKey
    LPCSTR m_pszProfileName = nullptr; // the application name under the registry key
    CWnd* m_pMainWnd = nullptr;

private:
    int m_nExitCode = 0;
    std::string m_strAppName;
    std::string m_strRegistryKey;
    std::string m_strCmdLine;

    friend BOOL AfxWinInit(HINSTANCE hInstance, LPCSTR lpCmdLine, int nCmdShow);
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// Fills in the application object from the process: instance, application name, command
// line. WinMain calls it; test programs that have their own main() call it too.
BOOL AfxWinInit(HINSTANCE hInstance, LPCSTR lpCmdLine, int nCmdShow);

// The command line after the program name (quoted or not) and the white space after it,
// where every character up to and including the space counts as white space.
LPCSTR AfxSkipProgramName(LPCSTR lpszCommandLine);
