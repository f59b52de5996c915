#include "ScrProcess.h"

#include "WinTestUtil.h"

namespace
{
struct EnumData
{
    DWORD dwProcessId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProc(HWND hWnd, LPARAM lParam)
{
    EnumData* pData = reinterpret_cast<EnumData*>(lParam);
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess == pData->dwProcessId && ::IsWindowVisible(hWnd))
        pData->windows.push_back(hWnd);
    return TRUE;
}
} // namespace

std::string ScrPath()
{
    // The build passes the host path; Wine maps the host's root to drive Z.
    std::string strPath = "Z:" VULKARA_SCR_PATH;
    for (char& c : strPath)
        if (c == '/')
            c = '\\';
    return strPath;
}

CScrProcess::~CScrProcess()
{
    if (m_pi.hProcess != nullptr)
    {
        if (IsRunning())
            Kill();
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
}

bool CScrProcess::Start(const std::string& strArguments)
{
    std::string strCommand = "\"" + ScrPath() + "\"";
    if (!strArguments.empty())
        strCommand += " " + strArguments;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return ::CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &m_pi) != FALSE;
}

std::vector<HWND> CScrProcess::Windows() const
{
    EnumData data = {m_pi.dwProcessId, {}};
    ::EnumWindows(&CollectProc, reinterpret_cast<LPARAM>(&data));
    return data.windows;
}

HWND CScrProcess::WaitForWindow(const char* pszClass, DWORD dwTimeoutMs)
{
    HWND hFound = nullptr;
    PumpUntil(
        [&]
        {
            for (HWND hWnd : Windows())
            {
                char szClass[256] = {};
                ::GetClassNameA(hWnd, szClass, sizeof(szClass));
                if (lstrcmpA(szClass, pszClass) == 0)
                {
                    hFound = hWnd;
                    return true;
                }
            }
            return false;
        },
        dwTimeoutMs);
    return hFound;
}

bool CScrProcess::WaitForExit(DWORD dwTimeoutMs, DWORD* pdwExitCode)
{
    bool bEnded = false;
    PumpUntil(
        [&]
        {
            bEnded = ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0;
            return bEnded;
        },
        dwTimeoutMs);
    if (bEnded && pdwExitCode != nullptr)
        ::GetExitCodeProcess(m_pi.hProcess, pdwExitCode);
    return bEnded;
}

bool CScrProcess::IsRunning() const
{
    return m_pi.hProcess != nullptr && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

void CScrProcess::Kill()
{
    ::TerminateProcess(m_pi.hProcess, 1);
    ::WaitForSingleObject(m_pi.hProcess, 5000);
}
