// The framework's window core, message maps, threads, message boxes and data exchange, driven
// for real.
#include "Afx.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
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

// A window that owns itself, can close itself in several ways and can throw from a handler.
// Its freed memory is filled with a pattern and kept, so that any write into the deleted
// object, and any second delete, shows afterwards.
class CPoisonedWnd : public CWnd
{
public:
    enum class Close
    {
        DefaultInHandler, // the WM_CLOSE handler runs the default, which destroys the window
        Unhandled,        // no handler: the dispatch's own default processing destroys it
        DestroyInHandler, // the handler destroys the window itself and returns
    };

    struct Block
    {
        void* pMemory;
        std::size_t nSize;
    };
    static constexpr unsigned char POISON = 0xA5;
    static std::vector<Block> s_freed;

    static void* operator new(std::size_t nSize)
    {
        void* pMemory = std::malloc(nSize);
        if (pMemory == nullptr)
            throw std::bad_alloc();
        return pMemory;
    }
    static void operator delete(void* pMemory, std::size_t nSize)
    {
        std::memset(pMemory, POISON, nSize);
        s_freed.push_back({pMemory, nSize});
    }
    // Every freed block still holds nothing but the pattern.
    static bool FreedMemoryUntouched()
    {
        for (const Block& block : s_freed)
        {
            const unsigned char* pBytes = static_cast<const unsigned char*>(block.pMemory);
            for (std::size_t i = 0; i < block.nSize; ++i)
            {
                if (pBytes[i] != POISON)
                    return false;
            }
        }
        return true;
    }
    static void ReleaseFreed()
    {
        for (const Block& block : s_freed)
            std::free(block.pMemory);
        s_freed.clear();
    }

    Close m_close = Close::DefaultInHandler;
    UINT m_nThrowOn = 0; // a message whose handler throws

    BEGIN_MSG_MAP(CPoisonedWnd)
    MESSAGE_HANDLER(WM_NCCREATE, OnMaybeThrow)
    MESSAGE_HANDLER(WM_CREATE, OnMaybeThrow)
    MESSAGE_HANDLER(WM_SETTEXT, OnMaybeThrow)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    CHAIN_MSG_MAP(CWnd)
    END_MSG_MAP()

protected:
    void PostNcDestroy() override { delete this; }

private:
    LRESULT OnMaybeThrow(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (uMsg == m_nThrowOn)
            throw std::runtime_error("handler failed");
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnClose(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (uMsg == m_nThrowOn)
            throw std::runtime_error("handler failed");
        switch (m_close)
        {
        case Close::DefaultInHandler:
            return Default();
        case Close::Unhandled:
            bHandled = FALSE;
            return 0;
        case Close::DestroyInHandler:
            DestroyWindow();
            return 0;
        }
        return 0;
    }
};
std::vector<CPoisonedWnd::Block> CPoisonedWnd::s_freed;
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

TEST(Framework, SelfDeletingWindowIsNotTouchedAfterItsEnd)
{
    const CPoisonedWnd::Close closes[] = {CPoisonedWnd::Close::DefaultInHandler,
                                          CPoisonedWnd::Close::Unhandled,
                                          CPoisonedWnd::Close::DestroyInHandler};
    for (CPoisonedWnd::Close close : closes)
    {
        CPoisonedWnd* pWnd = new CPoisonedWnd;
        pWnd->m_close = close;
        ASSERT_TRUE(pWnd->CreateEx(0, TestClass(), nullptr, WS_POPUP, kRect, nullptr, 0));
        HWND hWnd = pWnd->m_hWnd;
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
        EXPECT_FALSE(::IsWindow(hWnd)) << static_cast<int>(close);
        EXPECT_EQ(CPoisonedWnd::s_freed.size(), 1u) << static_cast<int>(close);
        EXPECT_TRUE(CPoisonedWnd::FreedMemoryUntouched()) << static_cast<int>(close);
        CPoisonedWnd::ReleaseFreed();
    }
}

TEST(Framework, FailedCreationEndsTheObjectOnce)
{
    struct Case
    {
        LPCSTR lpszClass;
        UINT nThrowOn;
    };
    const Case cases[] = {
        {"NoSuchVulkaraClass", 0}, // refused before the window procedure ever ran
        {nullptr, WM_NCCREATE},
        {nullptr, WM_CREATE},
    };
    for (const Case& c : cases)
    {
        CPoisonedWnd* pWnd = new CPoisonedWnd;
        pWnd->m_nThrowOn = c.nThrowOn;
        const LPCSTR lpszClass = c.lpszClass != nullptr ? c.lpszClass : TestClass();
        EXPECT_FALSE(pWnd->CreateEx(0, lpszClass, nullptr, WS_POPUP, kRect, nullptr, 0))
            << lpszClass << " " << c.nThrowOn;
        EXPECT_EQ(CPoisonedWnd::s_freed.size(), 1u) << lpszClass << " " << c.nThrowOn;
        EXPECT_TRUE(CPoisonedWnd::FreedMemoryUntouched()) << lpszClass << " " << c.nThrowOn;
        CPoisonedWnd::ReleaseFreed();
    }
}

TEST(Framework, ThrowingHandlerGetsNoDefaultProcessing)
{
    CPoisonedWnd* pWnd = new CPoisonedWnd;
    ASSERT_TRUE(pWnd->CreateEx(0, TestClass(), "before", WS_POPUP, kRect, nullptr, 0));
    HWND hWnd = pWnd->m_hWnd;

    pWnd->m_nThrowOn = WM_SETTEXT;
    EXPECT_EQ(::SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("after")), 0);
    EXPECT_EQ(WindowText(hWnd), "before");

    // A close rule that throws must not close the window.
    pWnd->m_nThrowOn = WM_CLOSE;
    ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(hWnd));
    EXPECT_TRUE(CPoisonedWnd::s_freed.empty());

    ::DestroyWindow(hWnd);
    EXPECT_EQ(CPoisonedWnd::s_freed.size(), 1u);
    EXPECT_TRUE(CPoisonedWnd::FreedMemoryUntouched());
    CPoisonedWnd::ReleaseFreed();
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
