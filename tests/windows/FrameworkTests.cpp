// The framework's window core, message maps, threads, message boxes and data exchange, driven
// for real.
#include "Afx.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const RECT kRect = {10, 10, 210, 110};

class CRecordingWnd : public CWnd
{
public:
    explicit CRecordingWnd(bool* pbDeleted = nullptr) : m_pbDeleted(pbDeleted) {}
    ~CRecordingWnd() override
    {
        if (m_pbDeleted != nullptr)
            *m_pbDeleted = true;
    }

    BEGIN_MSG_MAP(CRecordingWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_APP, OnApp)
    MESSAGE_HANDLER(WM_APP + 1, OnPassOn)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    CHAIN_MSG_MAP(CWnd)
    END_MSG_MAP()

    std::vector<UINT> m_received;
    bool m_bSelfDeleting = false;
    LRESULT m_lDefaultCreate = 1;

protected:
    void PostNcDestroy() override
    {
        if (m_bSelfDeleting)
            delete this;
    }

private:
    LRESULT OnCreate(UINT uMsg, WPARAM, LPARAM, BOOL&)
    {
        m_received.push_back(uMsg);
        m_lDefaultCreate = Default();
        return m_lDefaultCreate;
    }
    LRESULT OnApp(UINT uMsg, WPARAM wParam, LPARAM, BOOL&)
    {
        m_received.push_back(uMsg);
        return static_cast<LRESULT>(wParam * 2);
    }
    LRESULT OnPassOn(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
    {
        m_received.push_back(uMsg);
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnSetText(UINT uMsg, WPARAM, LPARAM, BOOL&)
    {
        // Default processing stores the text; the handler runs first.
        m_received.push_back(uMsg);
        return Default();
    }

    bool* m_pbDeleted;
};

LPCSTR TestClass()
{
    return AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
}
} // namespace

TEST(Framework, MessageMapDispatchesAndFallsBackToDefault)
{
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "test", WS_POPUP, kRect, nullptr, 0));
    ASSERT_NE(wnd.m_hWnd, nullptr);

    // WM_CREATE reached the map through the creation hook, and its default result is 0.
    ASSERT_FALSE(wnd.m_received.empty());
    EXPECT_EQ(wnd.m_received.front(), static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(wnd.m_lDefaultCreate, 0);

    EXPECT_EQ(wnd.SendMessage(WM_APP, 21), 42);
    // A handler that declines leaves the message to the default procedure (which returns 0).
    EXPECT_EQ(wnd.SendMessage(WM_APP + 1), 0);
    wnd.SetWindowText("changed");
    EXPECT_EQ(wnd.GetWindowText(), "changed");
    EXPECT_EQ(wnd.m_received.back(), static_cast<UINT>(WM_SETTEXT));

    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(Framework, SelfDeletingWindowGoesWithItsHandle)
{
    bool bDeleted = false;
    CRecordingWnd* pWnd = new CRecordingWnd(&bDeleted);
    pWnd->m_bSelfDeleting = true;
    ASSERT_TRUE(pWnd->CreateEx(0, TestClass(), nullptr, WS_POPUP, kRect, nullptr, 0));
    HWND hWnd = pWnd->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(Framework, MainWindowDestructionEndsTheMessageLoop)
{
    CWinApp* pApp = AfxGetApp();
    CRecordingWnd* pWnd = new CRecordingWnd;
    pWnd->m_bSelfDeleting = true;
    ASSERT_TRUE(pWnd->CreateEx(0, TestClass(), nullptr, WS_POPUP, kRect, nullptr, 0));
    pApp->m_pMainWnd = pWnd;
    pWnd->PostMessage(WM_CLOSE);

    MSG msg;
    bool bQuit = false;
    const DWORD dwStart = ::GetTickCount();
    while (!bQuit && ::GetTickCount() - dwStart < 5000)
    {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::Sleep(5);
            continue;
        }
        if (msg.message == WM_QUIT)
            bQuit = true;
        else
            ::DispatchMessageA(&msg);
    }
    EXPECT_TRUE(bQuit);
    EXPECT_EQ(pApp->m_pMainWnd, nullptr);
}

TEST(Framework, FromHandleOfAForeignWindowIsATemporaryObject)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    ASSERT_NE(pWnd, nullptr);
    EXPECT_EQ(pWnd->m_hWnd, hWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_EQ(pWnd->GetWindowText(), "foreign");
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    ::DestroyWindow(hWnd);
}

TEST(Framework, SkipProgramName)
{
    struct Case
    {
        const char* pszCommandLine;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"vulkara.scr /s", "/s"},    {"\"C:\\Program Files\\vulkara.scr\" /p 1234", "/p 1234"},
        {"vulkara.scr    /s", "/s"}, {"vulkara.scr\t\t-c", "-c"},
        {"vulkara.scr", ""},         {"\"unterminated", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(AfxSkipProgramName(c.pszCommandLine), c.pszExpected) << c.pszCommandLine;
}

TEST(Framework, MessageBoxCarriesTheApplicationName)
{
    std::string strCaption;
    std::string strText;
    WatchForWindow("#32770", nullptr,
                   [&](HWND hBox)
                   {
                       strCaption = WindowText(hBox);
                       strText = MessageBoxText(hBox);
                       ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                   });
    EXPECT_EQ(AfxMessageBox("Hello from the test.", MB_OK), IDOK);
    EXPECT_EQ(strCaption, AfxGetApp()->m_pszAppName);
    EXPECT_EQ(strCaption, "vulkara-wintests");
    EXPECT_EQ(strText, "Hello from the test.");
}

TEST(Framework, ParseIntAcceptsOnlyWholeIntegers)
{
    struct Case
    {
        const char* pszText;
        bool bValid;
        int nValue;
    };
    const Case cases[] = {
        {"42", true, 42},
        {"  -7 ", true, -7},
        {"+3", true, 3},
        {"", false, 0},
        {"   ", false, 0},
        {"12a", false, 0},
        {"1 2", false, 0},
        {"2147483647", true, 2147483647},
        {"2147483648", false, 0},
        {"-2147483648", true, -2147483647 - 1},
        {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases)
    {
        int nValue = 12345;
        EXPECT_EQ(AfxParseInt(c.pszText, nValue) != FALSE, c.bValid) << c.pszText;
        if (c.bValid)
        {
            EXPECT_EQ(nValue, c.nValue) << c.pszText;
        }
    }
}

TEST(Framework, FormatStringPutsInBothArguments)
{
    EXPECT_EQ(AfxFormatString2("between %1 and %2.", "0", "100"), "between 0 and 100.");
    EXPECT_EQ(AfxFormatString2("%2%1%3", "a", "b"), "ba%3");
}
