#include "CWinApp.h"

#include "Afx.h"

namespace
{
CWinApp* g_pApp = nullptr;

const char kSoftwareKey[] = "Software";
} // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;)
    {
        const BOOL bResult = ::GetMessageA(&msg, nullptr, 0, 0);
        if (bResult == 0 || bResult == -1)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey.c_str();
    m_pszProfileName = m_pszAppName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    SetRegistryKey(AfxLoadString(nIDRegistryKey).c_str());
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection)
{
    if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr)
        return nullptr;

    // Every level is created when missing, for reads as well as writes.
    const std::string strPath = std::string(kSoftwareKey) + "\\" + m_pszRegistryKey + "\\" +
                                m_pszProfileName + "\\" + lpszSection;
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, strPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, &dwDisposition) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (hKey == nullptr)
        return static_cast<UINT>(nDefault);

    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD cbData = sizeof(dwValue);
    const LONG lResult = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType,
                                            reinterpret_cast<LPBYTE>(&dwValue), &cbData);
    ::RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS)
        return static_cast<UINT>(nDefault);
    return dwValue;
}

std::string CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    const std::string strDefault = lpszDefault ? lpszDefault : "";
    HKEY hKey = GetSectionKey(lpszSection);
    if (hKey == nullptr)
        return strDefault;

    DWORD dwType = 0;
    DWORD cbData = 0;
    LONG lResult = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType, nullptr, &cbData);
    std::string strValue;
    if (lResult == ERROR_SUCCESS && dwType == REG_SZ)
    {
        std::string strBuffer(cbData + 1, '\0');
        lResult = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType,
                                     reinterpret_cast<LPBYTE>(&strBuffer[0]), &cbData);
        strValue = strBuffer.c_str();
    }
    ::RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS || dwType != REG_SZ)
        return strDefault;
    return strValue;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (hKey == nullptr)
        return FALSE;
    const DWORD dwValue = static_cast<DWORD>(nValue);
    const LONG lResult = ::RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (hKey == nullptr)
        return FALSE;
    LONG lResult;
    if (lpszValue == nullptr)
        lResult = ::RegDeleteValueA(hKey, lpszEntry);
    else
        lResult =
            ::RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                             static_cast<DWORD>(lstrlenA(lpszValue) + 1));
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

LPCSTR AfxSkipProgramName(LPCSTR lpszCommandLine)
{
    LPCSTR p = lpszCommandLine;
    if (*p == '"')
    {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    }
    else
    {
        while (static_cast<unsigned char>(*p) > ' ')
            ++p;
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ')
        ++p;
    return p;
}

BOOL AfxWinInit(HINSTANCE hInstance, LPCSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;

    pApp->m_hInstance = hInstance;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_strCmdLine = lpCmdLine ? lpCmdLine : "";
    pApp->m_lpCmdLine = &pApp->m_strCmdLine[0];

    // The application name is the module's file name without directory and extension.
    char szModule[MAX_PATH] = {};
    ::GetModuleFileNameA(hInstance, szModule, MAX_PATH);
    std::string strName = szModule;
    const std::string::size_type nSlash = strName.find_last_of("\\/");
    if (nSlash != std::string::npos)
        strName.erase(0, nSlash + 1);
    const std::string::size_type nDot = strName.find_last_of('.');
    if (nDot != std::string::npos)
        strName.erase(nDot);
    pApp->m_strAppName = strName;
    pApp->m_pszAppName = pApp->m_strAppName.c_str();
    if (pApp->m_pszRegistryKey != nullptr)
        pApp->m_pszProfileName = pApp->m_pszAppName;
    return TRUE;
}
