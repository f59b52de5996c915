#pragma once

#include "CDialog.h"
#include "ISettingsStore.h"

#include <string>

// Takes a new screen-saver password twice and, when both entries agree, stores it in the
// program's settings. It opens with both edits holding the current password. A password that
// could not be stored is reported and the dialog stays open.
class CChangePasswordDlg : public CDialog
{
public:
    explicit CChangePasswordDlg(CWnd* pParentWnd = nullptr,
                                ISettingsStore& store = DefaultSettingsStore());
    ~CChangePasswordDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    std::string m_strNewPassword;
    std::string m_strConfirmPassword;
    ISettingsStore& m_store;
};
