// The change-password dialog, run modally in-process and answered from inside its loop; what
// it stores is read back from the registry.
#include "Afx.h"
#include "CChangePasswordDlg.h"
#include "CMemorySettingsStore.h"
#include "CSaverSettings.h"
#include "RegistrySnapshot.h"
#include "WinTestUtil.h"
#include "SettingsTable.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
const char kDialogCaption[] = "Change Password";
const char kMismatch[] = "The new and confirmed passwords do not match. Please type them again.";
const char kChanged[] = "The password has been successfully changed.";

void StorePassword(const std::string& strPassword)
{
    CSaverSettings settings;
    settings.Load();
    ASSERT_TRUE(settings.SetString(SETTING_PASSWORD, strPassword));
    ASSERT_TRUE(settings.Save());
}

std::string StoredPasswordValue()
{
    DWORD dwType = 0;
    std::string strData;
    if (!ReadConfigValue("Password", dwType, strData) || dwType != REG_SZ)
        return "<missing>";
    return std::string(strData.c_str()); // without the terminator
}

// Types both entries, presses OK and answers the message that follows. Returns the message.
std::string SubmitEntries(HWND hDlg, const std::string& strNew, const std::string& strConfirm)
{
    std::string strMessage = "<no message>";
    WatchForWindow("#32770", AfxGetApp()->m_pszAppName,
                   [&](HWND hBox)
                   {
                       strMessage = MessageBoxText(hBox);
                       ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                   });
    ::SetDlgItemTextA(hDlg, IDC_NEW_PASSWORD, strNew.c_str());
    ::SetDlgItemTextA(hDlg, IDC_CONFIRM_PASSWORD, strConfirm.c_str());
    ClickDlgButton(hDlg, IDOK);
    return strMessage;
}

INT_PTR RunDialog(std::function<void(HWND)> action)
{
    WatchForWindow("#32770", kDialogCaption, std::move(action));
    CChangePasswordDlg dlg(nullptr);
    return dlg.DoModal();
}

// Whether a message box shows the stop icon.
bool ShowsStopIcon(HWND hBox)
{
    const HICON hStop = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32513)); // IDI_HAND
    for (HWND hChild = ::GetWindow(hBox, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if ((::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            reinterpret_cast<HICON>(::SendMessageA(hChild, STM_GETICON, 0, 0)) == hStop)
            return true;
    }
    return false;
}
} // namespace

TEST(ChangePassword, OpensWithTheCurrentPasswordInBothEdits)
{
    StorePassword("Ember 9");
    std::string strNew, strConfirm;
    LRESULT nLimit = 0;
    const INT_PTR nResult = RunDialog(
        [&](HWND hDlg)
        {
            strNew = DlgItemText(hDlg, IDC_NEW_PASSWORD);
            strConfirm = DlgItemText(hDlg, IDC_CONFIRM_PASSWORD);
            nLimit = ::SendDlgItemMessageA(hDlg, IDC_NEW_PASSWORD, EM_GETLIMITTEXT, 0, 0);
            ClickDlgButton(hDlg, IDCANCEL);
        });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(strNew, "Ember 9");
    EXPECT_EQ(strConfirm, "Ember 9");
    EXPECT_EQ(nLimit, static_cast<LRESULT>(CSaverSettings::MAX_PASSWORD_LENGTH));
}

TEST(ChangePassword, RefusesEntriesThatDifferOrCannotBeStored)
{
    StorePassword("old");
    const std::string strTooLong(CSaverSettings::MAX_PASSWORD_LENGTH + 1, 'x');
    // The first key byte of the scrambling: this character at position 0 would vanish.
    const std::string strUnstorable = std::string(1, '\xA7') + "abc";
    struct Case
    {
        std::string strNew;
        std::string strConfirm;
        std::string strMessage;
    };
    const std::vector<Case> cases = {
        {"Secret", "secret", kMismatch},
        {"Secret", "Secret ", kMismatch},
        {"", "x", kMismatch},
        {strTooLong, strTooLong,
         "The password is too long to be stored. Please type at most 255 characters."},
        {strUnstorable, strUnstorable,
         "The password contains a character that cannot be stored at its position. Please "
         "type another password."},
    };
    const std::string strStoredBefore = StoredPasswordValue();
    for (const Case& c : cases)
    {
        std::string strMessage, strNewAfter, strConfirmAfter;
        bool bStillOpen = false;
        const INT_PTR nResult = RunDialog(
            [&](HWND hDlg)
            {
                strMessage = SubmitEntries(hDlg, c.strNew, c.strConfirm);
                bStillOpen = ::IsWindowVisible(hDlg) != FALSE;
                strNewAfter = DlgItemText(hDlg, IDC_NEW_PASSWORD);
                strConfirmAfter = DlgItemText(hDlg, IDC_CONFIRM_PASSWORD);
                ClickDlgButton(hDlg, IDCANCEL);
            });
        EXPECT_EQ(strMessage, c.strMessage) << c.strNew.substr(0, 10);
        EXPECT_TRUE(bStillOpen);
        EXPECT_EQ(strNewAfter, c.strNew.substr(0, 1023));
        EXPECT_EQ(strConfirmAfter, c.strConfirm.substr(0, 1023));
        EXPECT_EQ(nResult, IDCANCEL);
        EXPECT_EQ(StoredPasswordValue(), strStoredBefore);
    }
}

TEST(ChangePassword, EqualEntriesAreStoredScrambled)
{
    StorePassword("old");
    for (const std::string strPassword : {"Ember 9", "old", ""})
    {
        std::string strMessage;
        const INT_PTR nResult = RunDialog(
            [&](HWND hDlg) { strMessage = SubmitEntries(hDlg, strPassword, strPassword); });
        EXPECT_EQ(nResult, IDOK) << strPassword;
        EXPECT_EQ(strMessage, kChanged) << strPassword;
        EXPECT_EQ(StoredPasswordValue(), CSaverSettings::ScramblePassword(strPassword));
        if (!strPassword.empty())
        {
            EXPECT_NE(StoredPasswordValue(), strPassword);
        }

        CSaverSettings settings;
        settings.Load();
        std::string strLoaded;
        settings.GetString(SETTING_PASSWORD, strLoaded);
        EXPECT_EQ(strLoaded, strPassword);
    }
}

TEST(ChangePassword, CancelWritesNothing)
{
    StorePassword("kept");
    const RegistrySnapshot before = SnapshotConfig();
    const INT_PTR nResult = RunDialog(
        [&](HWND hDlg)
        {
            ::SetDlgItemTextA(hDlg, IDC_NEW_PASSWORD, "changed");
            ::SetDlgItemTextA(hDlg, IDC_CONFIRM_PASSWORD, "changed");
            ClickDlgButton(hDlg, IDCANCEL);
        });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(SnapshotConfig(), before);
}

TEST(ChangePassword, StoringIntoAnEmptyRegistryWritesEveryValue)
{
    DeleteConfigKey();
    ASSERT_TRUE(SnapshotConfig().empty());
    RunDialog([&](HWND hDlg) { SubmitEntries(hDlg, "fresh", "fresh"); });

    const RegistrySnapshot after = SnapshotConfig();
    // Every number at its default, the resolution as the screen that Load put in.
    for (const SettingRow& row : SETTINGS_TABLE)
    {
        if (row.storage != SettingStorage::Dword)
            continue;
        int nExpected = row.nDefault;
        if (row.nIndex == SETTING_XRES)
            nExpected = ::GetSystemMetrics(SM_CXSCREEN);
        else if (row.nIndex == SETTING_YRES)
            nExpected = ::GetSystemMetrics(SM_CYSCREEN);
        EXPECT_EQ(DwordOf(after, row.pszName), static_cast<DWORD>(nExpected)) << row.pszName;
    }
    EXPECT_EQ(StoredPasswordValue(), CSaverSettings::ScramblePassword("fresh"));
}

TEST(ChangePassword, AFailedWriteIsReportedAndTheDialogStays)
{
    const char kNotStored[] = "The password could not be stored.";
    struct Case
    {
        int nWritesBeforeFailure; // negative: every write succeeds
        const char* pszMessage;
        INT_PTR nResult;
    };
    // Save writes ten numbers, then the password.
    const Case cases[] = {
        {0, kNotStored, IDCANCEL}, {10, kNotStored, IDCANCEL}, {-1, kChanged, IDOK}};
    for (const Case& c : cases)
    {
        CMemorySettingsStore store;
        store.SetString("Config", "Password", CSaverSettings::ScramblePassword("old"));
        store.FailWriteAfter(c.nWritesBeforeFailure);
        std::string strMessage;
        bool bStop = false;
        bool bStillOpen = false;
        WatchForWindow("#32770", kDialogCaption,
                       [&](HWND hDlg)
                       {
                           WatchForWindow("#32770", AfxGetApp()->m_pszAppName,
                                          [&](HWND hBox)
                                          {
                                              strMessage = MessageBoxText(hBox);
                                              bStop = ShowsStopIcon(hBox);
                                              ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                                          });
                           ::SetDlgItemTextA(hDlg, IDC_NEW_PASSWORD, "new");
                           ::SetDlgItemTextA(hDlg, IDC_CONFIRM_PASSWORD, "new");
                           ClickDlgButton(hDlg, IDOK);
                           bStillOpen = ::IsWindow(hDlg) && ::IsWindowVisible(hDlg);
                           if (bStillOpen)
                               ClickDlgButton(hDlg, IDCANCEL);
                       });
        CChangePasswordDlg dlg(nullptr, store);
        EXPECT_EQ(dlg.DoModal(), c.nResult) << c.nWritesBeforeFailure;
        EXPECT_EQ(strMessage, c.pszMessage) << c.nWritesBeforeFailure;
        const bool bFailed = c.nResult != IDOK;
        EXPECT_EQ(bStop, bFailed) << c.nWritesBeforeFailure;
        EXPECT_EQ(bStillOpen, bFailed) << c.nWritesBeforeFailure;
        CSaverSettings settings(store);
        settings.Load();
        std::string strStored;
        settings.GetString(SETTING_PASSWORD, strStored);
        EXPECT_EQ(strStored, bFailed ? "old" : "new") << c.nWritesBeforeFailure;
    }
}
