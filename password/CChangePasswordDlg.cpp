#include "CChangePasswordDlg.h"

#include "Afx.h"

#include "CDataExchange.h"
#include "CSaverSettings.h"
#include "resource.h"

namespace
{
const char kMismatchMessage[] =
    "The new and confirmed passwords do not match. Please type them again.";
const char kChangedMessage[] = "The password has been successfully changed.";
const char kNotStoredMessage[] = "The password could not be stored.";
const char kTooLongMessage[] =
    "The password is too long to be stored. Please type at most 255 characters.";
const char kNotStorableMessage[] =
    "The password contains a character that cannot be stored at its position. Please type "
    "another password.";

static_assert(CSaverSettings::MAX_PASSWORD_LENGTH == 255, "the message names the limit");
} // namespace

CChangePasswordDlg::CChangePasswordDlg(CWnd* pParentWnd, ISettingsStore& store)
    : CDialog(IDD_CHANGE_PASSWORD, pParentWnd), m_store(store)
{
    CSaverSettings settings(m_store);
    settings.Load();
    settings.GetString(SETTING_PASSWORD, m_strNewPassword);
    m_strConfirmPassword = m_strNewPassword;
}

CChangePasswordDlg::~CChangePasswordDlg() = default;

BOOL CChangePasswordDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Nothing longer than the settings can store can be typed in the first place.
    for (int nID : {IDC_NEW_PASSWORD, IDC_CONFIRM_PASSWORD})
        ::SendDlgItemMessageA(m_hWnd, nID, EM_LIMITTEXT, CSaverSettings::MAX_PASSWORD_LENGTH, 0);
    return TRUE;
}

void CChangePasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_NEW_PASSWORD, m_strNewPassword);
    DDX_Text(pDX, IDC_CONFIRM_PASSWORD, m_strConfirmPassword);
}

void CChangePasswordDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strNewPassword != m_strConfirmPassword)
    {
        AfxMessageBox(kMismatchMessage, MB_ICONHAND);
        return;
    }
    // The settings would cut or corrupt such a password; better to refuse it than to lock
    // the user out with a password nobody typed.
    if (!CSaverSettings::IsStorablePassword(m_strNewPassword))
    {
        AfxMessageBox(m_strNewPassword.size() > CSaverSettings::MAX_PASSWORD_LENGTH
                          ? kTooLongMessage
                          : kNotStorableMessage,
                      MB_ICONHAND);
        return;
    }

    CSaverSettings settings(m_store);
    settings.Load();
    // A success message over a password that never reached the settings would lock the user
    // out with the old one while telling otherwise.
    if (!settings.SetString(SETTING_PASSWORD, m_strNewPassword) || !settings.Save())
    {
        AfxMessageBox(kNotStoredMessage, MB_ICONHAND);
        return;
    }
    AfxMessageBox(kChangedMessage, MB_ICONINFORMATION);
    EndDialog(IDOK);
}
