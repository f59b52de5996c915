#pragma once

// Runs the real vulkara.scr as a child process and looks at the windows it shows.

#include <windows.h>

#include <string>
#include <vector>

class CScrProcess
{
public:
    CScrProcess() = default;
    ~CScrProcess();

    CScrProcess(const CScrProcess&) = delete;
    CScrProcess& operator=(const CScrProcess&) = delete;

    // Starts vulkara.scr (built next to this test program) with the given arguments.
    bool Start(const std::string& strArguments);

    // A visible top-level window of the child with that class, waiting up to the timeout.
    HWND WaitForWindow(const char* pszClass, DWORD dwTimeoutMs);
    // All visible top-level windows of the child now.
    std::vector<HWND> Windows() const;

    // Waits for the child to end; false on time-out.
    bool WaitForExit(DWORD dwTimeoutMs, DWORD* pdwExitCode = nullptr);
    bool IsRunning() const;
    void Kill();

    DWORD ProcessId() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi = {};
};

// The path of vulkara.scr as Windows sees it.
std::string ScrPath();
