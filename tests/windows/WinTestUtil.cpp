#include "WinTestUtil.h"

#include "Afx.h"
#include "resource.h"

#include <map>
#include <vector>

void PumpMessagesFor(DWORD dwMilliseconds)
{
    PumpUntil([] { return false; }, dwMilliseconds);
}

bool PumpUntil(const std::function<bool()>& pred, DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (pred())
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return pred();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace
{
struct FindData
{
    const char* pszClass;
    const char* pszCaption;
    HWND hFound;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    FindData* pData = reinterpret_cast<FindData*>(lParam);
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess != ::GetCurrentProcessId() || !::IsWindowVisible(hWnd))
        return TRUE;
    char szClass[256] = {};
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpA(szClass, pData->pszClass) != 0)
        return TRUE;
    if (pData->pszCaption != nullptr && WindowText(hWnd) != pData->pszCaption)
        return TRUE;
    pData->hFound = hWnd;
    return FALSE;
}

struct Watch
{
    std::string strClass;
    std::string strCaption;
    bool bAnyCaption;
    std::function<void(HWND)> action;
    DWORD dwDeadline;
};

std::map<UINT_PTR, Watch> g_watches;

void CALLBACK WatchTimerProc(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    const auto it = g_watches.find(nTimer);
    if (it == g_watches.end())
    {
        ::KillTimer(nullptr, nTimer);
        return;
    }
    HWND hFound =
        FindProcessWindow(it->second.strClass.c_str(),
                          it->second.bAnyCaption ? nullptr : it->second.strCaption.c_str());
    if (hFound == nullptr && static_cast<LONG>(::GetTickCount() - it->second.dwDeadline) < 0)
        return;
    ::KillTimer(nullptr, nTimer);
    std::function<void(HWND)> action = std::move(it->second.action);
    g_watches.erase(it);
    if (hFound != nullptr)
        action(hFound);
}
} // namespace

HWND FindProcessWindow(const char* pszClass, const char* pszCaption)
{
    FindData data = {pszClass, pszCaption, nullptr};
    ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&data));
    return data.hFound;
}

std::string WindowText(HWND hWnd)
{
    char szText[1024] = {};
    ::GetWindowTextA(hWnd, szText, sizeof(szText));
    return szText;
}

std::string DlgItemText(HWND hDlg, int nID)
{
    char szText[1024] = {};
    ::GetDlgItemTextA(hDlg, nID, szText, sizeof(szText));
    return szText;
}

std::string MessageBoxText(HWND hBox)
{
    // The message is the box's static control 0xFFFF.
    return DlgItemText(hBox, 0xFFFF);
}

void SetDlgItemTextNotify(HWND hDlg, int nID, const char* pszText)
{
    // SetWindowText on an edit sends EN_CHANGE to its parent, as typing does.
    ::SetDlgItemTextA(hDlg, nID, pszText);
}

void ClickDlgButton(HWND hDlg, int nID)
{
    ::SendMessageA(::GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

UINT_PTR WatchForWindow(const char* pszClass, const char* pszCaption,
                        std::function<void(HWND)> action, DWORD dwTimeoutMs)
{
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, &WatchTimerProc);
    Watch watch;
    watch.strClass = pszClass;
    watch.bAnyCaption = pszCaption == nullptr;
    watch.strCaption = pszCaption != nullptr ? pszCaption : "";
    watch.action = std::move(action);
    watch.dwDeadline = ::GetTickCount() + dwTimeoutMs;
    g_watches[nTimer] = std::move(watch);
    return nTimer;
}

void CancelWatch(UINT_PTR nWatch)
{
    ::KillTimer(nullptr, nWatch);
    g_watches.erase(nWatch);
}

std::string ProgramKeyPath()
{
    char szKey[256] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_REGISTRY_KEY, szKey, sizeof(szKey));
    return std::string("Software\\") + szKey;
}

std::string ProfileKeyPath(const std::string& strProfile)
{
    return ProgramKeyPath() + "\\" + strProfile;
}

std::string ConfigKeyPath(const std::string& strProfile)
{
    return ProfileKeyPath(strProfile) + "\\Config";
}

std::string ConfigKeyPath()
{
    return ConfigKeyPath(AfxGetApp()->m_pszProfileName);
}

bool ReadConfigValue(const char* pszName, DWORD& dwType, std::string& strData)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, ConfigKeyPath().c_str(), 0, KEY_READ, &hKey) !=
        ERROR_SUCCESS)
        return false;
    DWORD cbData = 0;
    LONG lResult = ::RegQueryValueExA(hKey, pszName, nullptr, &dwType, nullptr, &cbData);
    if (lResult == ERROR_SUCCESS)
    {
        strData.assign(cbData, '\0');
        lResult = ::RegQueryValueExA(hKey, pszName, nullptr, &dwType,
                                     reinterpret_cast<LPBYTE>(&strData[0]), &cbData);
        strData.resize(cbData);
    }
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

void DeleteConfigKey()
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ConfigKeyPath().c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ProfileKeyPath(AfxGetApp()->m_pszProfileName).c_str());
}
