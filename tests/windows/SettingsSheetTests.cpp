// The settings sheet, run modally in-process and driven from inside its loop: what it shows,
// what it says about bad input, what it saves, and its live preview.
#include "Afx.h"
#include "CConfigDialog.h"
#include "CPreviewWnd.h"
#include "CSaverSettings.h"
#include "RegistrySnapshot.h"
#include "ScreenCapture.h"
#include "SettingsTable.h"
#include "WinTestUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{
const char kSheetCaption[] = "Vulkara (v2.21)";
// Longer than the page's one-second idle countdown.
const DWORD kPastIdleMs = 1500;
const DWORD kWaitMs = 5000;
const char kNoMessage[] = "<no message>";

// Stores values into the test program's settings, over whatever is there.
void StoreValues(const std::vector<std::pair<int, int>>& values)
{
    CSaverSettings settings;
    settings.Load();
    for (const auto& value : values)
        ASSERT_TRUE(settings.SetInt(value.first, value.second));
    ASSERT_TRUE(settings.Save());
}

INT_PTR RunSheet(std::function<void(HWND hSheet, HWND hPage)> action)
{
    WatchForWindow("#32770", kSheetCaption,
                   [&](HWND hSheet)
                   {
                       HWND hPage = reinterpret_cast<HWND>(
                           ::SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
                       action(hSheet, hPage);
                   });
    CConfigDialog dlg(nullptr, 0);
    return dlg.DoModal();
}

// Answers the next message box with OK and keeps its text in strText, which holds kNoMessage
// until then. Returns the watch, for CancelWatch.
UINT_PTR ExpectMessage(std::string& strText)
{
    strText = kNoMessage;
    return WatchForWindow("#32770", AfxGetApp()->m_pszAppName,
                          [&strText](HWND hBox)
                          {
                              strText = MessageBoxText(hBox);
                              ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                          });
}

// Lets the page's idle second pass; the text of a message box that came up meanwhile, or
// kNoMessage.
std::string MessageDuringIdle()
{
    std::string strText;
    const UINT_PTR nWatch = ExpectMessage(strText);
    PumpMessagesFor(kPastIdleMs);
    CancelWatch(nWatch);
    return strText;
}

bool IsChecked(HWND hPage, int nID)
{
    return ::IsDlgButtonChecked(hPage, nID) == BST_CHECKED;
}

int SliderPos(HWND hPage)
{
    return static_cast<int>(::SendDlgItemMessageA(hPage, IDC_SPARKLES, TBM_GETPOS, 0, 0));
}

int ComboRow(HWND hPage, int nID = IDC_RESOLUTION)
{
    return static_cast<int>(::SendDlgItemMessageA(hPage, nID, CB_GETCURSEL, 0, 0));
}

std::vector<std::string> ComboRows(HWND hPage, int nID)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 8; ++i)
    {
        char szRow[64] = {};
        if (::SendDlgItemMessageA(hPage, nID, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(szRow)) ==
            CB_ERR)
            break;
        rows.push_back(szRow);
    }
    return rows;
}

// Picks a row as a user does: the list changes, then tells its page.
void SelectComboRow(HWND hPage, int nID, int nRow)
{
    ::SendDlgItemMessageA(hPage, nID, CB_SETCURSEL, static_cast<WPARAM>(nRow), 0);
    ::SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(nID, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hPage, nID)));
}

HWND PreviewOf(HWND hPage)
{
    return ::FindWindowExA(::GetDlgItem(hPage, IDC_PREVIEW_FRAME), nullptr, nullptr, "Preview");
}

int ProcessThreadCount()
{
    HANDLE hSnapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int nCount = 0;
    for (BOOL bMore = ::Thread32First(hSnapshot, &entry); bMore;
         bMore = ::Thread32Next(hSnapshot, &entry))
    {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            ++nCount;
    }
    ::CloseHandle(hSnapshot);
    return nCount;
}

struct FieldValues
{
    int nRow;
    std::string strFireWorks, strMin, strMax, strFireBalls, strFade;
    bool bShowDesktop, bSound, bDirectX;
    int nSparkles;
    std::string strCount;
    int nMultiMonitorRow, nFireSizeRow;
};

FieldValues ReadFields(HWND hPage)
{
    return {ComboRow(hPage),
            DlgItemText(hPage, IDC_FIREWORK_COUNT),
            DlgItemText(hPage, IDC_FIREBALL_MIN),
            DlgItemText(hPage, IDC_FIREBALL_MAX),
            DlgItemText(hPage, IDC_FIREBALL_COUNT),
            DlgItemText(hPage, IDC_FADE_PERCENT),
            IsChecked(hPage, IDC_SHOW_DESKTOP),
            IsChecked(hPage, IDC_SOUND),
            IsChecked(hPage, IDC_USE_DIRECTX),
            SliderPos(hPage),
            DlgItemText(hPage, IDC_SPARKLES_LABEL),
            ComboRow(hPage, IDC_MULTI_MONITOR),
            ComboRow(hPage, IDC_FIRE_SIZE)};
}

// The fields as the settings table's defaults show them: the fade divisor as a percentage.
void ExpectDefaults(const FieldValues& f)
{
    const auto Text = [](SettingIndex nIndex) { return std::to_string(DefaultOf(nIndex)); };
    const int nFadePercent = 100 / DefaultOf(SETTING_FADE_SCREEN);
    EXPECT_EQ(f.nRow, 0);
    EXPECT_EQ(f.strFireWorks, Text(SETTING_FIREWORK_COUNT));
    EXPECT_EQ(f.strMin, Text(SETTING_FIREBALL_IN_FIREWORK_MIN));
    EXPECT_EQ(f.strMax, Text(SETTING_FIREBALL_IN_FIREWORK_MAX));
    EXPECT_EQ(f.strFireBalls, Text(SETTING_FIREBALL_COUNT));
    EXPECT_EQ(f.strFade, std::to_string(nFadePercent));
    EXPECT_EQ(f.bShowDesktop, nFadePercent != 0);
    EXPECT_EQ(f.bSound, DefaultOf(SETTING_BACKGROUND_SOUND) != 0);
    EXPECT_EQ(f.bDirectX, DefaultOf(SETTING_USE_DIRECTX) != 0);
    EXPECT_EQ(f.nSparkles, DefaultOf(SETTING_SPARKLES_COUNT));
    EXPECT_EQ(f.strCount, "Count:" + Text(SETTING_SPARKLES_COUNT));
    EXPECT_EQ(f.nMultiMonitorRow, DefaultOf(SETTING_MULTI_MONITOR));
    EXPECT_EQ(f.nFireSizeRow, DefaultOf(SETTING_FIRE_SIZE));
}

RECT ChildRect(HWND hParent, int nID)
{
    RECT rc = {};
    ::GetWindowRect(::GetDlgItem(hParent, nID), &rc);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
} // namespace

TEST(SettingsSheet, EmptyRegistryShowsTheDefaultsOnTwoTabs)
{
    DeleteConfigKey();
    FieldValues fields = {};
    std::vector<std::string> rows, monitorRows, sizeRows;
    int nTabs = 0;
    bool bApplyHidden = false, bHelpHidden = false, bOkShown = false, bCancelShown = false;
    const INT_PTR nResult = RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            fields = ReadFields(hPage);
            rows = ComboRows(hPage, IDC_RESOLUTION);
            monitorRows = ComboRows(hPage, IDC_MULTI_MONITOR);
            sizeRows = ComboRows(hPage, IDC_FIRE_SIZE);
            nTabs = static_cast<int>(::SendMessageA(
                reinterpret_cast<HWND>(::SendMessageA(hSheet, PSM_GETTABCONTROL, 0, 0)),
                TCM_GETITEMCOUNT, 0, 0));
            bApplyHidden = !::IsWindowVisible(::GetDlgItem(hSheet, ID_APPLY_NOW));
            bHelpHidden = !::IsWindowVisible(::GetDlgItem(hSheet, IDHELP));
            bOkShown = ::IsWindowVisible(::GetDlgItem(hSheet, IDOK)) != FALSE;
            bCancelShown = ::IsWindowVisible(::GetDlgItem(hSheet, IDCANCEL)) != FALSE;
            // OK and Cancel stand where Apply and Help were laid out.
            const RECT rcOk = ChildRect(hSheet, IDOK), rcApply = ChildRect(hSheet, ID_APPLY_NOW);
            const RECT rcCancel = ChildRect(hSheet, IDCANCEL), rcHelp = ChildRect(hSheet, IDHELP);
            EXPECT_TRUE(::EqualRect(&rcOk, &rcApply));
            EXPECT_TRUE(::EqualRect(&rcCancel, &rcHelp));
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(nResult, IDCANCEL);
    ExpectDefaults(fields);
    EXPECT_EQ(rows, (std::vector<std::string>{"Current", "640x480", "800x600", "1024x768"}));
    EXPECT_EQ(monitorRows,
              (std::vector<std::string>{"A fire on every monitor", "Fire on the main monitor only",
                                        "One fire across all monitors"}));
    EXPECT_EQ(sizeRows, (std::vector<std::string>{"Screen pixels", "Classic"}));
    EXPECT_EQ(nTabs, 2);
    EXPECT_TRUE(bApplyHidden);
    EXPECT_TRUE(bHelpHidden);
    EXPECT_TRUE(bOkShown);
    EXPECT_TRUE(bCancelShown);
}

TEST(SettingsSheet, StoredOutOfRangeValueIsShownQuietlyAndReportedByOk)
{
    DeleteConfigKey();
    StoreValues({{SETTING_FIREWORK_COUNT, 200}});
    const RegistrySnapshot before = SnapshotConfig();
    std::string strShown, strIdleMessage, strOkMessage;
    bool bFocused = false;
    bool bStillOpen = false;
    DWORD dwSelection = 0;
    const INT_PTR nResult = RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            strShown = DlgItemText(hPage, IDC_FIREWORK_COUNT);
            strIdleMessage = MessageDuringIdle();
            ExpectMessage(strOkMessage);
            ClickDlgButton(hSheet, IDOK);
            PumpUntil([&] { return strOkMessage != kNoMessage; }, kWaitMs);
            PumpMessagesFor(100);
            bStillOpen = ::IsWindowVisible(hSheet) != FALSE;
            bFocused = ::GetFocus() == ::GetDlgItem(hPage, IDC_FIREWORK_COUNT);
            dwSelection = static_cast<DWORD>(
                ::SendDlgItemMessageA(hPage, IDC_FIREWORK_COUNT, EM_GETSEL, 0, 0));
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(strShown, "200");
    EXPECT_EQ(strIdleMessage, kNoMessage);
    EXPECT_EQ(strOkMessage, "Please enter an integer between 0 and 100.");
    EXPECT_TRUE(bStillOpen);
    EXPECT_TRUE(bFocused);
    EXPECT_EQ(LOWORD(dwSelection), 0);
    EXPECT_EQ(HIWORD(dwSelection), 3);
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(SnapshotConfig(), before);
}

TEST(SettingsSheet, FadeFieldAndShowDesktopFollowEachOther)
{
    DeleteConfigKey();
    std::string strEmptyMessage;
    std::vector<std::pair<std::string, bool>> states; // fade text, box ticked
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            PumpMessagesFor(kPastIdleMs);
            ExpectMessage(strEmptyMessage);
            SetDlgItemTextNotify(hPage, IDC_FADE_PERCENT, "");
            PumpUntil([&] { return strEmptyMessage != kNoMessage; }, kWaitMs);
            SetDlgItemTextNotify(hPage, IDC_FADE_PERCENT, "0");
            states.emplace_back(DlgItemText(hPage, IDC_FADE_PERCENT),
                                IsChecked(hPage, IDC_SHOW_DESKTOP));
            SetDlgItemTextNotify(hPage, IDC_FADE_PERCENT, "30");
            states.emplace_back(DlgItemText(hPage, IDC_FADE_PERCENT),
                                IsChecked(hPage, IDC_SHOW_DESKTOP));
            ClickDlgButton(hPage, IDC_SHOW_DESKTOP);
            states.emplace_back(DlgItemText(hPage, IDC_FADE_PERCENT),
                                IsChecked(hPage, IDC_SHOW_DESKTOP));
            ClickDlgButton(hPage, IDC_SHOW_DESKTOP);
            states.emplace_back(DlgItemText(hPage, IDC_FADE_PERCENT),
                                IsChecked(hPage, IDC_SHOW_DESKTOP));
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(strEmptyMessage, "Please enter an integer.");
    const std::vector<std::pair<std::string, bool>> expected = {
        {"0", false}, {"30", true}, {"0", false}, {"50", true}};
    EXPECT_EQ(states, expected);
}

TEST(SettingsSheet, OkSavesOrderedSizesConvertedFadeAndCurrentResolution)
{
    DeleteConfigKey();
    StoreValues({{SETTING_XRES, 1280}, {SETTING_YRES, 1024}});
    int nRowShown = -1;
    const INT_PTR nResult = RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            PumpMessagesFor(kPastIdleMs);
            nRowShown = ComboRow(hPage);
            SetDlgItemTextNotify(hPage, IDC_FIREBALL_MIN, "120");
            SetDlgItemTextNotify(hPage, IDC_FIREBALL_MAX, "20");
            SetDlgItemTextNotify(hPage, IDC_FADE_PERCENT, "40");
            ClickDlgButton(hSheet, IDOK);
        });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(nRowShown, 0);
    const RegistrySnapshot saved = SnapshotConfig();
    EXPECT_EQ(DwordOf(saved, "FireBallInFireWorkMin"), 20u);
    EXPECT_EQ(DwordOf(saved, "FireBallInFireWorkMax"), 120u);
    EXPECT_EQ(DwordOf(saved, "FadeScreen"), 2u);
    EXPECT_EQ(DwordOf(saved, "XRes"), 0u);
    EXPECT_EQ(DwordOf(saved, "YRes"), 0u);

    // Opened again, the fade of 40 % comes back as 50 %.
    std::string strFade;
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            strFade = DlgItemText(hPage, IDC_FADE_PERCENT);
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(strFade, "50");
}

TEST(SettingsSheet, StoredResolutionChoosesItsRow)
{
    const std::pair<int, int> cases[] = {{640, 0}, {640, 1}, {800, 2}, {1024, 3}, {1280, 0}};
    for (const auto& c : cases)
    {
        DeleteConfigKey();
        StoreValues({{SETTING_XRES, c.first}, {SETTING_YRES, 480}});
        if (c.first == 640 && c.second == 0)
            StoreValues({{SETTING_XRES, 0}}); // a single zero means the current screen
        int nRow = -1;
        RunSheet(
            [&](HWND hSheet, HWND hPage)
            {
                nRow = ComboRow(hPage);
                ClickDlgButton(hSheet, IDCANCEL);
            });
        EXPECT_EQ(nRow, c.second) << c.first;
    }
}

TEST(SettingsSheet, CancelWritesNothing)
{
    DeleteConfigKey();
    StoreValues({{SETTING_FIREWORK_COUNT, 9}, {SETTING_FADE_SCREEN, 4}});
    const RegistrySnapshot before = SnapshotConfig();
    ASSERT_FALSE(before.empty());
    const INT_PTR nResult = RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            SetDlgItemTextNotify(hPage, IDC_FIREWORK_COUNT, "12");
            SetDlgItemTextNotify(hPage, IDC_FADE_PERCENT, "100");
            ClickDlgButton(hPage, IDC_SOUND);
            ClickDlgButton(hPage, IDC_USE_DIRECTX);
            PumpMessagesFor(kPastIdleMs);
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(SnapshotConfig(), before);
}

TEST(SettingsSheet, RestoreDefaultsSetsEveryField)
{
    DeleteConfigKey();
    StoreValues({{SETTING_XRES, 800},
                 {SETTING_YRES, 600},
                 {SETTING_FIREWORK_COUNT, 20},
                 {SETTING_FIREBALL_IN_FIREWORK_MIN, 30},
                 {SETTING_FIREBALL_IN_FIREWORK_MAX, 40},
                 {SETTING_FIREBALL_COUNT, 9},
                 {SETTING_FADE_SCREEN, 0},
                 {SETTING_SPARKLES_COUNT, 100},
                 {SETTING_BACKGROUND_SOUND, 0},
                 {SETTING_USE_DIRECTX, 0},
                 {SETTING_MULTI_MONITOR, 2},
                 {SETTING_FIRE_SIZE, 1}});
    FieldValues before = {}, after = {};
    std::string strMessage;
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            before = ReadFields(hPage);
            // Restoring reads the defaults back through the page's checks.
            const UINT_PTR nWatch = ExpectMessage(strMessage);
            ClickDlgButton(hPage, IDC_RESTORE_DEFAULTS);
            CancelWatch(nWatch);
            after = ReadFields(hPage);
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(strMessage, kNoMessage);
    EXPECT_EQ(before.nRow, 2);
    EXPECT_EQ(before.strFade, "0");
    EXPECT_FALSE(before.bShowDesktop);
    EXPECT_EQ(before.strCount, "Count:100");
    EXPECT_EQ(before.nMultiMonitorRow, 2);
    EXPECT_EQ(before.nFireSizeRow, 1);
    ExpectDefaults(after);
}

TEST(SettingsSheet, ChoiceListsShowStoredValuesAndOkStoresTheChosenRows)
{
    const struct
    {
        int nStoredMonitors, nStoredSize; // in the registry
        int nShownMonitors, nShownSize;   // the rows the lists show
        int nPickMonitors, nPickSize;     // rows picked before OK; -1 leaves the list alone
    } cases[] = {
        {2, 1, 2, 1, 1, 0},
        {1, 0, 1, 0, 2, 1},
        // Values no version writes show the defaults without a word, and OK keeps what shows.
        {7, -1, 0, 0, -1, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nStoredMonitors << ", " << c.nStoredSize);
        DeleteConfigKey();
        StoreValues(
            {{SETTING_MULTI_MONITOR, c.nStoredMonitors}, {SETTING_FIRE_SIZE, c.nStoredSize}});
        int nMonitorsRow = -1, nSizeRow = -1;
        std::string strIdleMessage;
        const INT_PTR nResult = RunSheet(
            [&](HWND hSheet, HWND hPage)
            {
                nMonitorsRow = ComboRow(hPage, IDC_MULTI_MONITOR);
                nSizeRow = ComboRow(hPage, IDC_FIRE_SIZE);
                strIdleMessage = MessageDuringIdle();
                if (c.nPickMonitors >= 0)
                    SelectComboRow(hPage, IDC_MULTI_MONITOR, c.nPickMonitors);
                if (c.nPickSize >= 0)
                    SelectComboRow(hPage, IDC_FIRE_SIZE, c.nPickSize);
                ClickDlgButton(hSheet, IDOK);
            });
        EXPECT_EQ(nResult, IDOK);
        EXPECT_EQ(nMonitorsRow, c.nShownMonitors);
        EXPECT_EQ(nSizeRow, c.nShownSize);
        EXPECT_EQ(strIdleMessage, kNoMessage);
        const RegistrySnapshot saved = SnapshotConfig();
        EXPECT_EQ(DwordOf(saved, "MultiMonitor"),
                  static_cast<DWORD>(c.nPickMonitors >= 0 ? c.nPickMonitors : c.nShownMonitors));
        EXPECT_EQ(DwordOf(saved, "FireSize"),
                  static_cast<DWORD>(c.nPickSize >= 0 ? c.nPickSize : c.nShownSize));
    }
}

TEST(SettingsSheet, LeavingForTheAboutPageValidatesFirst)
{
    DeleteConfigKey();
    std::string strMessage;
    HWND hPageAfterBadInput = nullptr, hPageAfterGoodInput = nullptr, hSettingsPage = nullptr;
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            hSettingsPage = hPage;
            PumpMessagesFor(kPastIdleMs);
            ::SetDlgItemTextA(hPage, IDC_FIREBALL_COUNT, "51");
            ExpectMessage(strMessage);
            ::SendMessageA(hSheet, PSM_SETCURSEL, 1, 0);
            PumpUntil([&] { return strMessage != kNoMessage; }, kWaitMs);
            hPageAfterBadInput =
                reinterpret_cast<HWND>(::SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            ::SetDlgItemTextA(hPage, IDC_FIREBALL_COUNT, "50");
            ::SendMessageA(hSheet, PSM_SETCURSEL, 1, 0);
            hPageAfterGoodInput =
                reinterpret_cast<HWND>(::SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(strMessage, "Please enter an integer between 0 and 50.");
    EXPECT_EQ(hPageAfterBadInput, hSettingsPage);
    EXPECT_NE(hPageAfterGoodInput, hSettingsPage);
    EXPECT_NE(hPageAfterGoodInput, nullptr);
}

TEST(SettingsSheet, PreviewAnimatesInsideThePictureFrameAndGoesWhenCleared)
{
    DeleteConfigKey();
    StoreValues({{SETTING_BACKGROUND_SOUND, 0}});
    HWND hPreview = nullptr;
    RECT rcPreview = {}, rcFrame = {};
    bool bChanged = false, bUniform = true, bGone = false;
    int nRunningAfterClear = -1;
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            EXPECT_EQ(PreviewOf(hPage), nullptr);
            ClickDlgButton(hPage, IDC_PREVIEW);
            hPreview = PreviewOf(hPage);
            if (hPreview != nullptr)
            {
                ::GetClientRect(hPreview, &rcPreview);
                ::GetClientRect(::GetDlgItem(hPage, IDC_PREVIEW_FRAME), &rcFrame);
                // The still picture under it never changes; the animation does.
                PumpMessagesFor(500);
                const CScreenImage first = CaptureClient(hPreview);
                bUniform = first.IsUniform();
                bChanged = PumpUntil([&] { return CaptureClient(hPreview).pixels != first.pixels; },
                                     kWaitMs);
            }
            ClickDlgButton(hPage, IDC_PREVIEW);
            bGone = PreviewOf(hPage) == nullptr;
            nRunningAfterClear = g_bPreviewRunning;
            ClickDlgButton(hSheet, IDCANCEL);
        });
    ASSERT_NE(hPreview, nullptr);
    EXPECT_TRUE(::EqualRect(&rcPreview, &rcFrame));
    EXPECT_GT(rcPreview.right, 0);
    EXPECT_FALSE(bUniform);
    EXPECT_TRUE(bChanged);
    EXPECT_TRUE(bGone);
    EXPECT_EQ(nRunningAfterClear, 0);
}

TEST(SettingsSheet, PreviewIsRebuiltAfterCountChangesOnly)
{
    DeleteConfigKey();
    StoreValues({{SETTING_BACKGROUND_SOUND, 0}});
    HWND hFirst = nullptr, hRightAfterTyping = nullptr, hRebuilt = nullptr, hAfterOthers = nullptr;
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            PumpMessagesFor(kPastIdleMs);
            ClickDlgButton(hPage, IDC_PREVIEW);
            hFirst = PreviewOf(hPage);

            // Neither the resolution list nor the DirectX box count as a change.
            ::SendDlgItemMessageA(hPage, IDC_RESOLUTION, CB_SETCURSEL, 2, 0);
            ::SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(IDC_RESOLUTION, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hPage, IDC_RESOLUTION)));
            ClickDlgButton(hPage, IDC_USE_DIRECTX);
            PumpMessagesFor(kPastIdleMs);
            hAfterOthers = PreviewOf(hPage);

            SetDlgItemTextNotify(hPage, IDC_FIREWORK_COUNT, "1");
            SetDlgItemTextNotify(hPage, IDC_FIREWORK_COUNT, "12");
            hRightAfterTyping = PreviewOf(hPage);
            PumpUntil(
                [&]
                {
                    hRebuilt = PreviewOf(hPage);
                    return hRebuilt != nullptr && hRebuilt != hFirst;
                },
                kWaitMs);
            ClickDlgButton(hSheet, IDCANCEL);
        });
    ASSERT_NE(hFirst, nullptr);
    EXPECT_EQ(hAfterOthers, hFirst);
    EXPECT_EQ(hRightAfterTyping, hFirst);
    EXPECT_NE(hRebuilt, nullptr);
    EXPECT_NE(hRebuilt, hFirst);
}

TEST(SettingsSheet, TogglingThePreviewLeavesOneThread)
{
    DeleteConfigKey();
    StoreValues({{SETTING_BACKGROUND_SOUND, 0}});
    int nWithPreview = 0, nAfterToggling = 0, nWithout = 0;
    RunSheet(
        [&](HWND hSheet, HWND hPage)
        {
            PumpMessagesFor(kPastIdleMs);
            ClickDlgButton(hPage, IDC_PREVIEW);
            PumpMessagesFor(300);
            nWithPreview = ProcessThreadCount();
            for (int i = 0; i < 20; ++i)
                ClickDlgButton(hPage, IDC_PREVIEW);
            PumpMessagesFor(300);
            nAfterToggling = ProcessThreadCount();
            ClickDlgButton(hPage, IDC_PREVIEW);
            PumpMessagesFor(300);
            nWithout = ProcessThreadCount();
            ClickDlgButton(hSheet, IDCANCEL);
        });
    EXPECT_EQ(nAfterToggling, nWithPreview);
    EXPECT_EQ(nWithout, nWithPreview - 1);
}

TEST(SettingsSheet, AboutPageButtonsLeaveTheSheetAsItWas)
{
    DeleteConfigKey();
    std::string strContact;
    bool bOpen = false;
    const INT_PTR nResult = RunSheet(
        [&](HWND hSheet, HWND)
        {
            ::SendMessageA(hSheet, PSM_SETCURSEL, 1, 0);
            HWND hAbout =
                reinterpret_cast<HWND>(::SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            strContact = DlgItemText(hAbout, IDC_ABOUT_CONTACT);
            ClickDlgButton(hAbout, IDC_WEB_PAGE);
            ClickDlgButton(hAbout, IDC_EMAIL_AUTHOR);
            PumpMessagesFor(500);
            bOpen = ::IsWindowVisible(hSheet) != FALSE;
            ClickDlgButton(hSheet, IDOK);
        });
    EXPECT_TRUE(bOpen);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(strContact, " Contact Us: \n vulkara@example.org\n https://www.example.org/vulkara/");
    // OK from the About page stores the Settings page's values, as from the Settings page.
    EXPECT_EQ(DwordOf(SnapshotConfig(), "FadeScreen"), 2u);
}

// Whatever is stored, Cancel and Escape leave the sheet at once, past the idle second too,
// without a message and without writing.
TEST(SettingsSheet, CancelAndEscapeCloseOverAnyStoredValue)
{
    struct Case
    {
        const char* pszName;
        DWORD dwType;
        std::string strData;
    };
    const Case cases[] = {
        {"FireBallInFireWorkMin", REG_DWORD, std::string("\xFF\0\0\0", 4)}, // 255: swapped into Max
        {"FireWorkCount", REG_DWORD, std::string("\0\0\0\x80", 4)},
        {"FireBallInFireWorkMax", REG_BINARY, std::string("\x01\x02\xFF", 3)},
    };
    const std::string strKey = std::string("Software\\") + AfxGetApp()->m_pszRegistryKey + "\\" +
                               AfxGetApp()->m_pszProfileName + "\\Config";
    for (const Case& c : cases)
    {
        for (const bool bEscape : {false, true})
        {
            SCOPED_TRACE(testing::Message() << c.pszName << (bEscape ? " Escape" : " Cancel"));
            DeleteConfigKey();
            StoreValues({});
            HKEY hKey = nullptr;
            ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_WRITE, &hKey),
                      ERROR_SUCCESS);
            ::RegSetValueExA(hKey, c.pszName, 0, c.dwType,
                             reinterpret_cast<const BYTE*>(c.strData.data()),
                             static_cast<DWORD>(c.strData.size()));
            ::RegCloseKey(hKey);
            const RegistrySnapshot before = SnapshotConfig();

            std::string strMessage;
            bool bStayed = false;
            UINT_PTR nMessageWatch = 0, nSheetWatch = 0;
            const INT_PTR nResult = RunSheet(
                [&](HWND hSheet, HWND hPage)
                {
                    // Watched until the sheet has gone: a message after Cancel is a fault too.
                    nMessageWatch = ExpectMessage(strMessage);
                    PumpMessagesFor(kPastIdleMs);
                    // A sheet still there later is the fault; it is then mended by hand so
                    // that the test can end.
                    nSheetWatch = WatchForWindow(
                        "#32770", kSheetCaption,
                        [&](HWND hStill)
                        {
                            bStayed = true;
                            HWND hStillPage = reinterpret_cast<HWND>(
                                ::SendMessageA(hStill, PSM_GETCURRENTPAGEHWND, 0, 0));
                            for (int nID : {IDC_FIREWORK_COUNT, IDC_FIREBALL_MIN, IDC_FIREBALL_MAX,
                                            IDC_FIREBALL_COUNT})
                                ::SetDlgItemTextA(hStillPage, nID, "10");
                            ClickDlgButton(hStill, IDCANCEL);
                        },
                        3000);
                    if (bEscape)
                    {
                        HWND hFocus = ::GetFocus() != nullptr ? ::GetFocus() : hPage;
                        ::PostMessageA(hFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                        ::PostMessageA(hFocus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
                    }
                    else
                    {
                        ClickDlgButton(hSheet, IDCANCEL);
                    }
                });
            CancelWatch(nMessageWatch);
            CancelWatch(nSheetWatch);
            PumpMessagesFor(100); // the Escape key's release, should it outlive the sheet
            EXPECT_EQ(nResult, IDCANCEL);
            EXPECT_FALSE(bStayed);
            EXPECT_EQ(strMessage, kNoMessage);
            EXPECT_EQ(SnapshotConfig(), before);
        }
    }
}
