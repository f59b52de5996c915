// The full-screen saver window in this process, with its settings in the test program's own
// registry key: what closes it, what does not, the password check and the hold.
#include "CCloseRule.h"
#include "CVulkaraWnd.h"
#include "EngineGlobals.h"
#include "CRenderLoop.h"
#include "MonitorSource.h"
#include "ScrSettings.h"
#include "ScreenCapture.h"
#include "WinTestUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const char kProfile[] = "vulkara-wintests";
const char kDialogCaption[] = "Vulkara Screen Saver";
const DWORD kCloseTimeoutMs = 3000;
// Long enough for a close request to have been handled if one was posted.
const DWORD kSettleMs = 300;
// Past the grace period for mouse moves.
const DWORD kPastGraceMs = CCloseRule::GRACE_MILLISECONDS + 200;
// WM_MOUSEHWHEEL, which the headers of the systems the program targets lack.
constexpr UINT kHorizontalWheel = 0x020E;

struct DisplayMode
{
    DWORD dwWidth;
    DWORD dwHeight;
    DWORD dwBits;
    bool operator==(const DisplayMode& other) const
    {
        return dwWidth == other.dwWidth && dwHeight == other.dwHeight && dwBits == other.dwBits;
    }
};

DisplayMode CurrentMode()
{
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm);
    return {dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel};
}

class SaverWindowTest : public testing::Test
{
protected:
    SaverWindowTest() : m_registry(kProfile) { m_registry.SetQuietSaver(FALSE); }

    ~SaverWindowTest() override
    {
        if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        ::SetEnvironmentVariableA(FAKE_MONITORS_VARIABLE, nullptr);
    }

    // The monitors the saver sees from now on; a display change tells a running one.
    static void UseLayout(const char* pszLayout)
    {
        ::SetEnvironmentVariableA(FAKE_MONITORS_VARIABLE, pszLayout);
    }
    void ChangeDisplay()
    {
        ::SendMessageA(m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
        PumpMessagesFor(kSettleMs);
    }

    // A saver as the program makes it; null when Create failed.
    CVulkaraWnd* CreateSaver()
    {
        // A known pointer position that every move below is measured from.
        ::SetCursorPos(m_ptBase.x, m_ptBase.y);
        PumpMessagesFor(50);
        CVulkaraWnd* pWnd = new CVulkaraWnd;
        if (!pWnd->Create())
            return nullptr;
        m_hWnd = pWnd->m_hWnd;
        return pWnd;
    }

    void MoveMouse(int dx, int dy) { MoveMouseTo({m_ptBase.x + dx, m_ptBase.y + dy}); }
    // The saver covers the primary monitor from its origin: its client coordinates are the
    // screen's.
    void MoveMouseTo(POINT pt) { ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y)); }

    bool Closes(DWORD dwTimeoutMs = kCloseTimeoutMs)
    {
        return PumpUntil([&] { return !::IsWindow(m_hWnd); }, dwTimeoutMs);
    }

    bool StaysOpen()
    {
        PumpMessagesFor(kSettleMs);
        return ::IsWindow(m_hWnd) != FALSE;
    }

    static int FramesNow() { return g_nFrame.load(); }

    static bool FramesFlow()
    {
        const int nBefore = FramesNow();
        return PumpUntil([&] { return FramesNow() > nBefore + 3; }, 2000);
    }

    CSaverRegistry m_registry;
    HWND m_hWnd = nullptr;
    POINT m_ptBase = {400, 300};
};

TEST_F(SaverWindowTest, EveryKindOfInputCloses)
{
    struct Case
    {
        const char* pszName;
        UINT uMsg;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"left button", WM_LBUTTONDOWN, MK_LBUTTON},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON},
        {"side button", WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1)},
        {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
        {"horizontal wheel", kHorizontalWheel, MAKEWPARAM(0, WHEEL_DELTA)},
        {"key", WM_KEYDOWN, VK_SPACE},
        {"system key", WM_SYSKEYDOWN, VK_MENU},
        {"system character", WM_SYSCHAR, 'x'},
        {"capture lost", WM_CAPTURECHANGED, 0},
        {"cancel mode", WM_CANCELMODE, 0},
        {"application deactivated", WM_ACTIVATEAPP, FALSE},
        {"window deactivated", WM_ACTIVATE, WA_INACTIVE},
    };
    for (const Case& c : cases)
    {
        ASSERT_NE(CreateSaver(), nullptr) << c.pszName;
        ::PostMessageA(m_hWnd, c.uMsg, c.wParam, 0);
        EXPECT_TRUE(Closes()) << c.pszName;
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        EXPECT_EQ(g_bRenderThreadRunning.load(), 0) << c.pszName;
    }
}

TEST_F(SaverWindowTest, ReleasesAndSystemRequestsDoNotClose)
{
    ASSERT_NE(CreateSaver(), nullptr);
    for (UINT uMsg : {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP, WM_KEYUP, WM_SYSKEYUP})
        ::SendMessageA(m_hWnd, uMsg, 0, 0);
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(StaysOpen());

    // The saver keeps the focus and denies the suspend query; other power events pass.
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_NCACTIVATE, FALSE, 0), FALSE);
    EXPECT_EQ(::SendMessageA(m_hWnd, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0),
              BROADCAST_QUERY_DENY);
    EXPECT_NE(::SendMessageA(m_hWnd, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0),
              BROADCAST_QUERY_DENY);
    EXPECT_TRUE(StaysOpen());
    EXPECT_TRUE(FramesFlow());
}

TEST_F(SaverWindowTest, MouseClosesOnlyAfterGraceAndBeyondTheThreshold)
{
    const int t = CCloseRule::MOUSE_THRESHOLD;
    const POINT b = m_ptBase;
    struct Case
    {
        const char* pszName;
        POINT ptRef; // the first position after the grace period, in screen coordinates
        std::vector<POINT> quiet;
        POINT ptCloses;
    };
    const Case cases[] = {
        {"jitter on both axes, then right",
         b,
         {{b.x + t, b.y + t}, {b.x - t, b.y - t}, {b.x + t, b.y - t}, {b.x - t, b.y + t}},
         {b.x + t + 1, b.y}},
        {"up", b, {{b.x + 10, b.y - t}}, {b.x, b.y - t - 1}},
        // A real position when a monitor lies up and to the left of the primary one.
        {"from (-1,-1)", {-1, -1}, {{t - 1, t - 1}}, {-1, t}},
    };
    for (const Case& c : cases)
    {
        ASSERT_NE(CreateSaver(), nullptr) << c.pszName;
        // Within the grace period: neither a close nor the reference. Had this move been
        // taken, every move below would be 100 pixels off.
        MoveMouseTo({c.ptRef.x + 100, c.ptRef.y + 100});
        EXPECT_TRUE(StaysOpen()) << c.pszName;
        PumpMessagesFor(kPastGraceMs);
        MoveMouseTo(c.ptRef);
        for (const POINT& pt : c.quiet)
            MoveMouseTo(pt);
        EXPECT_TRUE(StaysOpen()) << c.pszName;
        MoveMouseTo(c.ptCloses);
        EXPECT_TRUE(Closes()) << c.pszName;
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }
}

TEST_F(SaverWindowTest, WithoutPasswordOrOptionItClosesAtOnce)
{
    struct Case
    {
        const char* pszName;
        int nOption; // -1: absent, -2: stored as text
        const char* pszPassword;
    };
    const Case cases[] = {
        {"option on, no password", 1, ""},
        {"option off", 0, "Secret"},
        {"option absent", -1, "Secret"},
        {"option stored as text", -2, "Secret"},
    };
    for (const Case& c : cases)
    {
        CSaverRegistry registry(kProfile);
        registry.SetQuietSaver(FALSE);
        registry.SetPassword(c.pszPassword);
        if (c.nOption >= 0)
            registry.SetSystemPasswordOption(static_cast<DWORD>(c.nOption));
        else if (c.nOption == -2)
            registry.SetSystemPasswordOptionText("1");
        bool bAsked = false;
        const UINT_PTR nWatch = WatchForWindow("#32770", kDialogCaption,
                                               [&](HWND hDlg)
                                               {
                                                   bAsked = true;
                                                   ClickDlgButton(hDlg, IDCANCEL);
                                               });
        ASSERT_NE(CreateSaver(), nullptr) << c.pszName;
        ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_TRUE(Closes()) << c.pszName;
        EXPECT_FALSE(bAsked) << c.pszName;
        CancelWatch(nWatch);
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }
}

TEST_F(SaverWindowTest, PasswordDialogRefusesNearMissesAndClosesOnTheStoredText)
{
    m_registry.SetPassword("Secret");
    m_registry.SetSystemPasswordOption(1);
    ASSERT_NE(CreateSaver(), nullptr);

    const std::vector<std::string> nearMisses = {"secret", "Secret ", ""};
    std::vector<std::string> messages;
    bool bAsked = false;
    bool bHeldWhileAsking = false;
    bool bDialogSurvivedClose = false;
    bool bStillOpenAfterEach = true;
    LRESULT nLimit = 0;
    WatchForWindow("#32770", kDialogCaption,
                   [&](HWND hDlg)
                   {
                       bAsked = true;
                       bHeldWhileAsking = g_bPauseRendering == 1 && g_bRenderingPaused == 1;
                       nLimit =
                           ::SendDlgItemMessageA(hDlg, IDC_PASSWORD_EDIT, EM_GETLIMITTEXT, 0, 0);

                       // Further close requests while the dialog is up are dropped.
                       ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
                       ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
                       PumpMessagesFor(kSettleMs);
                       bDialogSurvivedClose = ::IsWindow(hDlg) && ::IsWindow(m_hWnd);

                       for (const std::string& strAttempt : nearMisses)
                       {
                           SetDlgItemTextNotify(hDlg, IDC_PASSWORD_EDIT, strAttempt.c_str());
                           WatchForWindow("#32770", kProfile,
                                          [&](HWND hBox)
                                          {
                                              messages.push_back(MessageBoxText(hBox));
                                              ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                                          });
                           ClickDlgButton(hDlg, IDOK);
                           bStillOpenAfterEach = bStillOpenAfterEach && ::IsWindow(hDlg);
                       }
                       SetDlgItemTextNotify(hDlg, IDC_PASSWORD_EDIT, "Secret");
                       ClickDlgButton(hDlg, IDOK);
                   });
    ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(Closes(10000));
    EXPECT_TRUE(bAsked);
    EXPECT_TRUE(bHeldWhileAsking);
    EXPECT_TRUE(bDialogSurvivedClose);
    EXPECT_TRUE(bStillOpenAfterEach);
    EXPECT_EQ(nLimit, 255);
    EXPECT_EQ(messages, std::vector<std::string>(nearMisses.size(), "Invalid password."));
    EXPECT_EQ(g_bRenderThreadRunning.load(), 0);
}

TEST_F(SaverWindowTest, CancelResumesAndOnlyALargerMoveAsksAgain)
{
    m_registry.SetPassword("Secret");
    m_registry.SetSystemPasswordOption(1);
    ASSERT_NE(CreateSaver(), nullptr);
    PumpMessagesFor(kPastGraceMs);

    int nAsked = 0;
    std::string strEditOnOpen = "<not seen>";
    auto cancelDialog = [&](HWND hDlg)
    {
        ++nAsked;
        strEditOnOpen = DlgItemText(hDlg, IDC_PASSWORD_EDIT);
        SetDlgItemTextNotify(hDlg, IDC_PASSWORD_EDIT, "typed, then cancelled");
        ClickDlgButton(hDlg, IDCANCEL);
    };
    WatchForWindow("#32770", kDialogCaption, cancelDialog);
    ::PostMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_TRUE(PumpUntil([&] { return nAsked == 1; }, 5000));
    EXPECT_TRUE(StaysOpen());
    EXPECT_EQ(g_bPauseRendering.load(), 0);
    EXPECT_TRUE(FramesFlow());

    // The pointer has not moved from its base: small jitter around it stays quiet.
    MoveMouse(10, 10);
    MoveMouse(-10, 5);
    EXPECT_TRUE(StaysOpen());
    EXPECT_EQ(nAsked, 1);

    // A larger move asks again, with a fresh, empty edit.
    WatchForWindow("#32770", kDialogCaption, cancelDialog);
    MoveMouse(30, 0);
    EXPECT_TRUE(PumpUntil([&] { return nAsked == 2; }, 5000));
    EXPECT_EQ(strEditOnOpen, "");
    EXPECT_TRUE(StaysOpen());
}

TEST_F(SaverWindowTest, HoldParksTheThreadAndShowsSystemColoursOnDirectDraw)
{
    m_registry.SetQuietSaver(TRUE);
    const DisplayMode modeBefore = CurrentMode();
    CVulkaraWnd* pWnd = CreateSaver();
    ASSERT_NE(pWnd, nullptr);
    ASSERT_NE(pWnd->GetPrimarySurface(), nullptr); // the DirectDraw path
    EXPECT_TRUE(FramesFlow());

    // The scene colours are the palette resource (no desktop overlay here).
    HRSRC hRes = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PALETTE), "PALETTE");
    ASSERT_NE(hRes, nullptr);
    PALETTEENTRY aScene[256];
    std::memcpy(aScene, ::LockResource(::LoadResource(nullptr, hRes)), sizeof(aScene));
    // A desktop of more than 8 bits has no system palette: the default one's colours stand in.
    PALETTEENTRY aDefault[20];
    ASSERT_EQ(::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0, 20,
                                  aDefault),
              20u);

    auto attachedPalette = [&](PALETTEENTRY aEntries[256])
    {
        LPDIRECTDRAWPALETTE lpPalette = nullptr;
        if (pWnd->GetPrimarySurface()->GetPalette(&lpPalette) != DD_OK)
            return false;
        const bool bRead = lpPalette->GetEntries(0, 0, 256, aEntries) == DD_OK;
        lpPalette->Release();
        return bRead;
    };
    auto samePalette = [](const PALETTEENTRY* a, const PALETTEENTRY* b, int n)
    {
        for (int i = 0; i < n; ++i)
            if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen ||
                a[i].peBlue != b[i].peBlue)
                return false;
        return true;
    };

    PALETTEENTRY aAttached[256];
    ASSERT_TRUE(attachedPalette(aAttached));
    EXPECT_TRUE(samePalette(aAttached, aScene, 256));

    pWnd->PauseRendering();
    EXPECT_EQ(g_bRenderingPaused.load(), 1);
    const int nParkedAt = FramesNow();
    PumpMessagesFor(kSettleMs);
    EXPECT_EQ(FramesNow(), nParkedAt);
    ASSERT_TRUE(attachedPalette(aAttached));
    EXPECT_TRUE(samePalette(aAttached, aDefault, 10));
    EXPECT_TRUE(samePalette(aAttached + 246, aDefault + 10, 10));

    pWnd->ResumeRendering();
    EXPECT_TRUE(FramesFlow());
    EXPECT_EQ(g_bRenderingPaused.load(), 0);
    ASSERT_TRUE(attachedPalette(aAttached));
    EXPECT_TRUE(samePalette(aAttached, aScene, 256));

    ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(Closes());
    EXPECT_TRUE(PumpUntil([&] { return CurrentMode() == modeBefore; }, 3000));
}

TEST_F(SaverWindowTest, RefusedModeFailsCreationAndLeavesTheDisplayAlone)
{
    // No display of the rig offers this size, on either path.
    m_registry.SetInt(SETTING_XRES, 1000);
    m_registry.SetInt(SETTING_YRES, 700);
    const DisplayMode modeBefore = CurrentMode();
    for (BOOL bUseDirectX : {FALSE, TRUE})
    {
        m_registry.SetQuietSaver(bUseDirectX);
        EXPECT_EQ(CreateSaver(), nullptr) << bUseDirectX;
        EXPECT_EQ(CurrentMode(), modeBefore) << bUseDirectX;
        EXPECT_EQ(g_bRenderThreadRunning.load(), 0) << bUseDirectX;
    }
}
// The console display's state as the power notification carries it.
struct DisplayStateSetting
{
    GUID guid;
    DWORD dwDataLength;
    DWORD dwState;
};

TEST_F(SaverWindowTest, DisplayOffParksTheFireWhatEverHoldsAndInputStillCloses)
{
    const GUID kConsoleDisplayState = {
        0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    const UINT kPowerSettingChange = 0x8013;
    DisplayStateSetting off = {kConsoleDisplayState, sizeof(DWORD), 0};
    DisplayStateSetting on = {kConsoleDisplayState, sizeof(DWORD), 1};
    DisplayStateSetting dimmed = {kConsoleDisplayState, sizeof(DWORD), 2};
    struct Case
    {
        const char* pszName;
        UINT uMsg;
        WPARAM wOff, wOn;
        LPARAM lOff, lOn;
    };
    const Case cases[] = {
        {"console display state", WM_POWERBROADCAST, kPowerSettingChange, kPowerSettingChange,
         reinterpret_cast<LPARAM>(&off), reinterpret_cast<LPARAM>(&on)},
        {"monitor power command", WM_SYSCOMMAND, SC_MONITORPOWER, SC_MONITORPOWER, 2, -1},
    };
    CVulkaraWnd* pWnd = CreateSaver();
    ASSERT_NE(pWnd, nullptr);
    auto framesFlow = [&]
    {
        const long nBefore = pWnd->GetFrameCount();
        return PumpUntil([&] { return pWnd->GetFrameCount() > nBefore + 3; }, 2000);
    };
    auto framesStill = [&]
    {
        const long nBefore = pWnd->GetFrameCount();
        PumpMessagesFor(kSettleMs);
        return pWnd->GetFrameCount() == nBefore;
    };
    for (const Case& c : cases)
    {
        ::PostMessageA(m_hWnd, c.uMsg, c.wOff, c.lOff);
        PumpMessagesFor(kSettleMs);
        EXPECT_TRUE(framesStill()) << c.pszName;
        // A dialog's hold and its release leave the park alone.
        pWnd->PauseRendering();
        pWnd->ResumeRendering();
        EXPECT_TRUE(framesStill()) << c.pszName;
        ::PostMessageA(m_hWnd, c.uMsg, c.wOn, c.lOn);
        EXPECT_TRUE(framesFlow()) << c.pszName;
    }
    // A dimmed display is still seen.
    ::PostMessageA(m_hWnd, WM_POWERBROADCAST, kPowerSettingChange,
                   reinterpret_cast<LPARAM>(&dimmed));
    PumpMessagesFor(kSettleMs);
    EXPECT_TRUE(framesFlow());

    ::PostMessageA(m_hWnd, WM_POWERBROADCAST, kPowerSettingChange, reinterpret_cast<LPARAM>(&off));
    PumpMessagesFor(kSettleMs);
    EXPECT_TRUE(framesStill());
    ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(Closes());
}
BOOL CALLBACK AddSaverWindow(HWND hWnd, LPARAM lParam)
{
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd) &&
        (::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// The visible topmost windows of this process.
std::vector<HWND> SaverWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(&AddSaverWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The same, as screen rectangles.
std::vector<RECT> SaverWindowRects()
{
    std::vector<RECT> rects;
    for (HWND hWnd : SaverWindows())
    {
        RECT rc;
        ::GetWindowRect(hWnd, &rc);
        rects.push_back(rc);
    }
    return rects;
}

// Monitors come and go under a fake layout: every monitor has one window, none two, and a
// layout that does not parse counts as the real one.
TEST_F(SaverWindowTest, OtherMonitorsWindowsFollowTheLayout)
{
    struct Step
    {
        const char* pszLayout;
        std::vector<RECT> others; // the windows beside the primary one
    };
    const std::vector<Step> steps = {
        {"1024x768+0+0,640x480+1024+0", {{1024, 0, 1664, 480}}},
        {"1024x768+0+0,640x480+1024+0,480x640+-480+-100",
         {{1024, 0, 1664, 480}, {-480, -100, 0, 540}}},
        {"1024x768+0+0,800x600+1024+0", {{1024, 0, 1824, 600}}},
        {"1024x768+0+0", {}},
        {"1024x768+0+0,junk", {}},
    };
    auto hasWindow = [](const std::vector<RECT>& rects, const RECT& want)
    {
        size_t nCount = 0;
        for (const RECT& rc : rects)
            nCount += std::memcmp(&rc, &want, sizeof(RECT)) == 0 ? 1 : 0;
        return nCount;
    };

    UseLayout(steps.front().pszLayout);
    CVulkaraWnd* pWnd = CreateSaver();
    ASSERT_NE(pWnd, nullptr);
    for (const Step& step : steps)
    {
        UseLayout(step.pszLayout);
        ChangeDisplay();
        const std::vector<RECT> rects = SaverWindowRects();
        EXPECT_EQ(rects.size(), step.others.size() + 1) << step.pszLayout;
        for (const RECT& want : step.others)
            EXPECT_EQ(hasWindow(rects, want), 1u) << step.pszLayout << " at " << want.left;
        EXPECT_TRUE(FramesFlow()) << step.pszLayout;
    }
    UseLayout(steps[1].pszLayout);
    ::SendMessageA(m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(Closes());
    EXPECT_TRUE(SaverWindowRects().empty());
}

// A display change that leaves every monitor as it was keeps every window and its fire, a
// monitor too small for an engine (black) included.
TEST_F(SaverWindowTest, AnUnchangedLayoutKeepsEveryWindow)
{
    UseLayout("1024x768+0+0,10x10+1024+0,640x480+-640+0");
    ASSERT_NE(CreateSaver(), nullptr);
    std::vector<HWND> before = SaverWindows();
    ASSERT_EQ(before.size(), 3u);
    ChangeDisplay();
    std::vector<HWND> after = SaverWindows();
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_TRUE(FramesFlow());
}

// After a display change the fire fills its window at the new size, for one fire across the
// monitors and for the one monitor's window alike: flames burn at the bottom of the part the
// window grew by, and the top of it stays dark.
TEST_F(SaverWindowTest, TheFireGrowsWithItsWindow)
{
    struct Case
    {
        const char* pszName;
        MultiMonitorChoice choice;
        const char* pszBefore;
        const char* pszAfter;
        RECT grown; // client coordinates
    };
    const Case cases[] = {
        {"one fire across",
         MULTI_MONITOR_SPAN,
         "512x384+0+0",
         "512x384+0+0,512x384+512+0",
         {512, 0, 1024, 384}},
        {"one monitor",
         MULTI_MONITOR_FIRE_ON_EVERY,
         "512x384+0+0",
         "768x576+0+0",
         {512, 0, 768, 576}},
    };
    auto mean = [](const CScreenImage& image, const RECT& rc)
    {
        double dSum = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
            {
                const uint32_t rgb = image.At(x, y);
                dSum += (rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF);
            }
        return dSum / ((rc.right - rc.left) * (rc.bottom - rc.top));
    };
    for (const Case& c : cases)
    {
        m_registry.SetInt(SETTING_MULTI_MONITOR, c.choice);
        UseLayout(c.pszBefore);
        ASSERT_NE(CreateSaver(), nullptr) << c.pszName;
        UseLayout(c.pszAfter);
        ChangeDisplay();
        const RECT& g = c.grown;
        const int nQuarter = (g.bottom - g.top) / 4;
        const RECT bottom = {g.left, g.bottom - nQuarter, g.right, g.bottom};
        const RECT top = {g.left, g.top, g.right, g.top + nQuarter};
        double dBottom = 0, dTop = 0;
        PumpUntil(
            [&]
            {
                const CScreenImage image = CaptureClient(m_hWnd);
                if (image.nWidth < g.right || image.nHeight < g.bottom)
                    return false;
                dBottom = mean(image, bottom);
                dTop = mean(image, top);
                return dBottom > 4 * dTop + 25;
            },
            5000);
        EXPECT_GT(dBottom, 4 * dTop + 25) << c.pszName;
        ::DestroyWindow(m_hWnd);
    }
}

// Whatever would end the saver over another monitor's window goes to the primary window's
// rule: with the password on, each of these asks for it, and a cancel leaves every window up.
TEST_F(SaverWindowTest, OtherMonitorsWindowsPassEveryCloseToThePrimary)
{
    struct Case
    {
        const char* pszName;
        UINT uMsg;
        WPARAM wParam;
        bool bAsks;
    };
    const Case cases[] = {
        {"close", WM_CLOSE, 0, true},
        {"key", WM_KEYDOWN, VK_SPACE, true},
        {"button", WM_LBUTTONDOWN, MK_LBUTTON, true},
        {"side button", WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1), true},
        {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), true},
        // To that window's origin, far from where the pointer stands over the primary one.
        {"pointer moved there", WM_MOUSEMOVE, 0, true},
        {"button released", WM_LBUTTONUP, 0, false},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, false},
        {"screen saver command", WM_SYSCOMMAND, SC_SCREENSAVE, false},
    };
    m_registry.SetPassword("Secret");
    m_registry.SetSystemPasswordOption(1);
    UseLayout("1024x768+0+0,640x480+1024+0");
    ASSERT_NE(CreateSaver(), nullptr);
    std::vector<HWND> others = SaverWindows();
    others.erase(std::remove(others.begin(), others.end(), m_hWnd), others.end());
    ASSERT_EQ(others.size(), 1u);
    const HWND hOther = others.front();

    // The pointer is hidden over every saver window, and nothing after it shows it again.
    for (HWND hWnd : {m_hWnd, hOther})
    {
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        EXPECT_TRUE(::SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), nullptr);
    }

    PumpMessagesFor(kPastGraceMs);
    int nAsked = 0;
    for (const Case& c : cases)
    {
        const int nBefore = nAsked;
        const UINT_PTR nWatch = WatchForWindow("#32770", kDialogCaption,
                                               [&](HWND hDlg)
                                               {
                                                   ++nAsked;
                                                   ClickDlgButton(hDlg, IDCANCEL);
                                               });
        ::PostMessageA(hOther, c.uMsg, c.wParam, 0);
        if (c.bAsks)
            EXPECT_TRUE(PumpUntil([&] { return nAsked > nBefore; }, 5000)) << c.pszName;
        else
            EXPECT_TRUE(StaysOpen() && nAsked == nBefore) << c.pszName;
        CancelWatch(nWatch);
        EXPECT_TRUE(::IsWindow(hOther) && StaysOpen()) << c.pszName;
    }
}

// A display change while the password dialog is up rebuilds the windows without a frame of
// fire: the hold stands through the re-plan, and a cancel lets the fire go on.
TEST_F(SaverWindowTest, ADisplayChangeUnderThePasswordDialogKeepsTheHold)
{
    m_registry.SetPassword("Secret");
    m_registry.SetSystemPasswordOption(1);
    UseLayout("1024x768+0+0,640x480+1024+0");
    CVulkaraWnd* pWnd = CreateSaver();
    ASSERT_NE(pWnd, nullptr);
    long nBefore = -1;
    long nAfter = -1;
    bool bHeld = false;
    bool bAsked = false;
    WatchForWindow("#32770", kDialogCaption,
                   [&](HWND hDlg)
                   {
                       bAsked = true;
                       nBefore = pWnd->GetFrameCount();
                       UseLayout("1024x768+0+0,800x600+1024+0");
                       ChangeDisplay();
                       nAfter = pWnd->GetFrameCount();
                       bHeld = g_bPauseRendering == 1 && g_bRenderingPaused == 1;
                       ClickDlgButton(hDlg, IDCANCEL);
                   });
    ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([&] { return bAsked; }, 5000));
    EXPECT_EQ(nAfter, nBefore);
    EXPECT_TRUE(bHeld);
    EXPECT_TRUE(StaysOpen());
    EXPECT_TRUE(FramesFlow());
}
} // namespace
