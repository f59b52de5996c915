#include "CPasswordDlg.h"

#include "Afx.h"
#include "CDataExchange.h"
#include "CSaverSettings.h"
#include "SettingIndex.h"
#include "resource.h"

namespace
{
const char kInvalidPasswordMessage[] = "Invalid password.";
}

CPasswordDlg::CPasswordDlg(CWnd* pParentWnd) : CDialog(IDD_PASSWORD, pParentWnd) {}

void CPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PASSWORD_EDIT, m_strPassword);
    // Nothing longer can be stored, so nothing longer can match.
    DDV_MaxChars(pDX, m_strPassword, static_cast<int>(CSaverSettings::MAX_PASSWORD_LENGTH));
}

void CPasswordDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CSaverSettings settings;
    settings.Load();
    std::string strStored;
    settings.GetString(SETTING_PASSWORD, strStored);
    // Exact, byte for byte: no trimming, no case folding.
    if (m_strPassword != strStored)
    {
        AfxMessageBox(kInvalidPasswordMessage, MB_ICONHAND);
        return;
    }
    EndDialog(IDOK);
}
