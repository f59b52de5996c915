// The command line of the real vulkara.scr chooses its mode: what each switch shows and how
// the process ends.
#include "ScrProcess.h"
#include "ScrSettings.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

namespace
{
const DWORD kWindowTimeoutMs = 15000;

// Starts the saver, waits for its message box, returns its text and answers it.
std::string MessageOf(const std::string& strArguments, std::string* pstrCaption = nullptr)
{
    CScrProcess scr;
    if (!scr.Start(strArguments))
        return "<not started>";
    HWND hBox = scr.WaitForWindow("#32770", kWindowTimeoutMs);
    if (hBox == nullptr)
        return "<no message box>";
    const std::string strText = MessageBoxText(hBox);
    if (pstrCaption != nullptr)
        *pstrCaption = WindowText(hBox);
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    DWORD dwExitCode = 1;
    EXPECT_TRUE(scr.WaitForExit(kWindowTimeoutMs, &dwExitCode)) << strArguments;
    return strText;
}
} // namespace

TEST(ModeDispatch, UnrecognisedSwitchesReportAndEnd)
{
    for (const char* pszArguments : {"/", "s", "/x", "-q"})
    {
        std::string strCaption;
        EXPECT_EQ(MessageOf(pszArguments, &strCaption), "Unknown error in InitInstance().")
            << pszArguments;
        EXPECT_EQ(strCaption, "vulkara") << pszArguments;
    }
}

TEST(ModeDispatch, PreviewWithoutAUsableParentEndsQuietly)
{
    for (const char* pszArguments : {"/p", "/p 0", "/p garbage", "/p 12345678"})
    {
        CScrProcess scr;
        ASSERT_TRUE(scr.Start(pszArguments));
        DWORD dwExitCode = 1;
        EXPECT_TRUE(scr.WaitForExit(kWindowTimeoutMs, &dwExitCode)) << pszArguments;
        EXPECT_EQ(dwExitCode, 0u) << pszArguments;
    }
}

TEST(ModeDispatch, DialogSwitchesOpenTheirDialogWithoutAnOwner)
{
    struct Case
    {
        const char* pszArguments;
        const char* pszCaption;
    };
    // A handle joined to the settings switch is ignored; handle 0 or none means no owner.
    const Case cases[] = {
        {"", "Vulkara (v2.21)"},     {"/c", "Vulkara (v2.21)"}, {"/C:1234", "Vulkara (v2.21)"},
        {"/a 0", "Change Password"}, {"/a", "Change Password"},
    };
    for (const Case& c : cases)
    {
        CScrProcess scr;
        ASSERT_TRUE(scr.Start(c.pszArguments));
        HWND hDlg = scr.WaitForWindow("#32770", kWindowTimeoutMs);
        ASSERT_NE(hDlg, nullptr) << c.pszArguments;
        EXPECT_EQ(WindowText(hDlg), c.pszCaption) << c.pszArguments;
        EXPECT_EQ(::GetWindow(hDlg, GW_OWNER), nullptr) << c.pszArguments;
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        DWORD dwExitCode = 1;
        EXPECT_TRUE(scr.WaitForExit(kWindowTimeoutMs, &dwExitCode)) << c.pszArguments;
        EXPECT_EQ(dwExitCode, 0u) << c.pszArguments;
    }
}

TEST(ModeDispatch, SaverSwitchesStartTheFullScreenSaver)
{
    CSaverRegistry registry("vulkara");
    registry.SetQuietSaver(FALSE);
    const int nScreenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    for (const char* pszArguments : {"/s", "/S", "-s", "/save"})
    {
        CScrProcess scr;
        ASSERT_TRUE(scr.Start(pszArguments));
        HWND hSaver = nullptr;
        PumpUntil(
            [&]
            {
                for (HWND hWnd : scr.Windows())
                {
                    RECT rc = {};
                    ::GetWindowRect(hWnd, &rc);
                    if ((::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 &&
                        rc.right - rc.left >= nScreenWidth)
                        hSaver = hWnd;
                }
                return hSaver != nullptr;
            },
            kWindowTimeoutMs);
        ASSERT_NE(hSaver, nullptr) << pszArguments;
        ::PostMessageA(hSaver, WM_KEYDOWN, VK_SPACE, 0);
        DWORD dwExitCode = 1;
        EXPECT_TRUE(scr.WaitForExit(kWindowTimeoutMs, &dwExitCode)) << pszArguments;
        EXPECT_EQ(dwExitCode, 0u) << pszArguments;
    }
}
