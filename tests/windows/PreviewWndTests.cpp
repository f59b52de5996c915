// The preview window on its own: frame size, orientation, the thread handshake, and windows
// of every size.
#include "Afx.h"
#include "BareFlame.h"
#include "CPreviewWnd.h"
#include "CSaverSettings.h"
#include "FireSize.h"
#include "ScreenCapture.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace
{
const DWORD kDrawTimeoutMs = 5000;

// A top-level window with a client area of the given size, to host a preview.
class CHostWindow
{
public:
    CHostWindow(int nClientWidth, int nClientHeight)
    {
        RECT rc = {0, 0, nClientWidth, nClientHeight};
        ::AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
        m_hWnd = ::CreateWindowExA(0, AfxRegisterWndClass(0), "Preview host",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                   rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                                   AfxGetInstanceHandle(), nullptr);
    }
    ~CHostWindow()
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }
    HWND m_hWnd = nullptr;
};

CSaverSettings FlameOnlySettings()
{
    CSaverSettings settings;
    for (const BareFlameValue& value : BARE_FLAME)
        settings.SetInt(value.nIndex, value.nValue);
    return settings;
}

CPreviewWnd* CreatePreview(HWND hParent, const CSaverSettings& settings)
{
    RECT rc = {};
    ::GetClientRect(hParent, &rc);
    CPreviewWnd* pPreview = new CPreviewWnd(&settings);
    return pPreview->Create(rc, CWnd::FromHandle(hParent)) ? pPreview : nullptr;
}
} // namespace

TEST(PreviewWnd, RunsAtThreeTimesTheWindowSizeWithTheHotRowsAtTheBottom)
{
    CHostWindow host(152, 112);
    ASSERT_NE(host.m_hWnd, nullptr);
    const CSaverSettings settings = FlameOnlySettings();
    CPreviewWnd* pPreview = CreatePreview(host.m_hWnd, settings);
    ASSERT_NE(pPreview, nullptr);
    EXPECT_EQ(pPreview->GetFrameWidth(), 456);
    EXPECT_EQ(pPreview->GetFrameHeight(), 336);
    RECT rc = {};
    ::GetClientRect(pPreview->GetSafeHwnd(), &rc);
    EXPECT_EQ(rc.right, 152);
    EXPECT_EQ(rc.bottom, 112);
    EXPECT_EQ(g_bPreviewRunning, 1);

    // Let the flames grow, then compare the bottom quarter with the top quarter.
    CScreenImage image;
    PumpUntil(
        [&]
        {
            image = CaptureClient(pPreview->GetSafeHwnd());
            return image.MeanBrightness(84, 112) > 100;
        },
        kDrawTimeoutMs);
    EXPECT_FALSE(image.IsUniform());
    EXPECT_GT(image.MeanBrightness(84, 112), 4 * image.MeanBrightness(0, 28) + 50);

    // Destroying the host destroys the preview, which waits for its thread.
    ::DestroyWindow(host.m_hWnd);
    EXPECT_EQ(g_bPreviewRunning, 0);
}

TEST(PreviewWnd, UnderTheClassicFireSizeRunsAtTheFullScreensFrameSize)
{
    CHostWindow host(152, 112);
    ASSERT_NE(host.m_hWnd, nullptr);
    CSaverSettings settings = FlameOnlySettings();
    settings.SetInt(SETTING_FIRE_SIZE, FIRE_SIZE_CLASSIC);
    CPreviewWnd* pPreview = CreatePreview(host.m_hWnd, settings);
    ASSERT_NE(pPreview, nullptr);
    // The screen's shape, at most 1024 wide, to the nearest row: not three times the window.
    const long long nScreenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const long long nScreenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const long long nWidth = pPreview->GetFrameWidth();
    const long long nHeight = pPreview->GetFrameHeight();
    EXPECT_EQ(nWidth, std::min(nScreenWidth, 1024LL));
    EXPECT_LE(std::llabs(nHeight * nScreenWidth - nScreenHeight * nWidth) * 2, nScreenWidth);

    // The whole frame, shrunk to the window: flames at the bottom, dark at the top.
    CScreenImage image;
    PumpUntil(
        [&]
        {
            image = CaptureClient(pPreview->GetSafeHwnd());
            return image.MeanBrightness(84, 112) > 50;
        },
        kDrawTimeoutMs);
    EXPECT_GT(image.MeanBrightness(84, 112), 4 * image.MeanBrightness(0, 28) + 25);
    ::DestroyWindow(host.m_hWnd);
    EXPECT_EQ(g_bPreviewRunning, 0);
}

TEST(PreviewWnd, DestroyRightAfterCreateWaitsForTheThread)
{
    CHostWindow host(100, 80);
    const CSaverSettings settings = FlameOnlySettings();
    for (int i = 0; i < 10; ++i)
    {
        CPreviewWnd* pPreview = CreatePreview(host.m_hWnd, settings);
        ASSERT_NE(pPreview, nullptr);
        EXPECT_EQ(g_bPreviewRunning, 1);
        pPreview->DestroyWindow();
        EXPECT_EQ(g_bPreviewRunning, 0) << i;
        EXPECT_EQ(::GetWindow(host.m_hWnd, GW_CHILD), nullptr) << i;
    }
}

TEST(PreviewWnd, EveryWindowSizeIsSafe)
{
    // Too small for the engine: no window, no thread. Large enough: a running preview, also
    // after the window is resized under it.
    struct Case
    {
        int nWidth;
        int nHeight;
        bool bCreated;
    };
    const Case cases[] = {{0, 0, false},  {1, 1, false},  {5, 40, false},
                          {40, 5, false}, {6, 6, true},   {1, 300, false},
                          {7, 300, true}, {300, 7, true}, {640, 400, true}};
    const CSaverSettings settings = FlameOnlySettings();
    for (const Case& c : cases)
    {
        CHostWindow host(c.nWidth, c.nHeight);
        RECT rc = {0, 0, c.nWidth, c.nHeight};
        CPreviewWnd* pPreview = new CPreviewWnd(&settings);
        const BOOL bCreated = pPreview->Create(rc, CWnd::FromHandle(host.m_hWnd));
        EXPECT_EQ(bCreated != FALSE, c.bCreated) << c.nWidth << "x" << c.nHeight;
        EXPECT_EQ(g_bPreviewRunning, c.bCreated ? 1 : 0) << c.nWidth << "x" << c.nHeight;
        if (!bCreated)
        {
            EXPECT_EQ(::GetWindow(host.m_hWnd, GW_CHILD), nullptr);
            continue;
        }
        PumpMessagesFor(150);
        ::MoveWindow(pPreview->GetSafeHwnd(), 0, 0, 3 + c.nHeight, 2 + c.nWidth, TRUE);
        PumpMessagesFor(150);
        EXPECT_EQ(g_bPreviewRunning, 1);
        pPreview->DestroyWindow();
        EXPECT_EQ(g_bPreviewRunning, 0);
    }
}
