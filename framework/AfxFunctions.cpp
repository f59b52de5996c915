#include "Afx.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <tuple>

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp*/)
{
    CWinApp* pApp = AfxGetApp();
    LPCSTR lpszCaption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "";
    HWND hOwner = ::GetActiveWindow();
    return ::MessageBoxA(hOwner, lpszText, lpszCaption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    return AfxMessageBox(AfxLoadString(nIDPrompt).c_str(), nType, nIDHelp);
}

std::string AfxLoadString(UINT nID)
{
    char szBuffer[1024] = {};
    const int nLength = ::LoadStringA(AfxGetResourceHandle(), nID, szBuffer, sizeof(szBuffer));
    return std::string(szBuffer, nLength > 0 ? static_cast<size_t>(nLength) : 0);
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    using Key = std::tuple<UINT, HCURSOR, HBRUSH, HICON>;
    static std::mutex s_lock;
    static std::map<Key, std::string> s_classes;

    std::lock_guard<std::mutex> lock(s_lock);
    const Key key(nClassStyle, hCursor, hbrBackground, hIcon);
    const auto it = s_classes.find(key);
    if (it != s_classes.end())
        return it->second.c_str();

    char szName[96];
    std::snprintf(szName, sizeof(szName), "Afx:%p:%x:%p:%p:%p",
                  static_cast<void*>(AfxGetInstanceHandle()), nClassStyle,
                  static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
                  static_cast<void*>(hIcon));

    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = szName;
    if (::RegisterClassA(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return s_classes.emplace(key, szName).first->second.c_str();
}

std::string AfxFormatString2(LPCSTR lpszFormat, LPCSTR lpsz1, LPCSTR lpsz2)
{
    std::string strResult;
    for (LPCSTR p = lpszFormat; *p != '\0'; ++p)
    {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2'))
        {
            strResult += p[1] == '1' ? lpsz1 : lpsz2;
            ++p;
        }
        else
        {
            strResult += *p;
        }
    }
    return strResult;
}
