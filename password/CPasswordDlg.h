#pragma once

#include "CDialog.h"

#include <string>

// Asks for the screen-saver password before the full-screen saver closes. Ends with IDOK only
// when the typed text is exactly the stored password; Cancel ends it with IDCANCEL.
class CPasswordDlg : public CDialog
{
public:
    explicit CPasswordDlg(CWnd* pParentWnd);

    std::string m_strPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};
