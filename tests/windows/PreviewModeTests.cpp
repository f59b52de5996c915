// Preview mode of the real vulkara.scr inside a window of this process, as the system's
// display settings dialog hosts it.
#include "Afx.h"
#include "ScrProcess.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const DWORD kTimeoutMs = 15000;

struct ChildSearch
{
    DWORD dwProcessId;
    HWND hFound;
};

BOOL CALLBACK FindChildOfProcess(HWND hWnd, LPARAM lParam)
{
    ChildSearch* pSearch = reinterpret_cast<ChildSearch*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId != pSearch->dwProcessId)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}
} // namespace

TEST(PreviewMode, RunsInsideTheHostAndEndsWithIt)
{
    HWND hHost = ::CreateWindowExA(0, AfxRegisterWndClass(0), "Preview host",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, 260,
                                   220, nullptr, nullptr, AfxGetInstanceHandle(), nullptr);
    ASSERT_NE(hHost, nullptr);
    CScrProcess scr;
    ASSERT_TRUE(scr.Start("/p " + std::to_string(reinterpret_cast<UINT_PTR>(hHost))));

    // The host keeps pumping: the child's creation talks to its parent.
    ChildSearch search = {scr.ProcessId(), nullptr};
    PumpUntil(
        [&]
        {
            ::EnumChildWindows(hHost, &FindChildOfProcess, reinterpret_cast<LPARAM>(&search));
            return search.hFound != nullptr;
        },
        kTimeoutMs);
    ASSERT_NE(search.hFound, nullptr);
    RECT rcHost = {}, rcPreview = {};
    ::GetClientRect(hHost, &rcHost);
    ::GetClientRect(search.hFound, &rcPreview);
    EXPECT_TRUE(::EqualRect(&rcHost, &rcPreview));
    EXPECT_EQ(WindowText(search.hFound), "Preview");

    // Whether the fire shows is checked on the preview window in-process: Wine does not show
    // what a process draws into a child of another process's window.
    PumpMessagesFor(500);
    EXPECT_TRUE(scr.IsRunning());

    ::DestroyWindow(hHost);
    DWORD dwExitCode = 1;
    EXPECT_TRUE(scr.WaitForExit(kTimeoutMs, &dwExitCode));
    EXPECT_EQ(dwExitCode, 0u);
}
