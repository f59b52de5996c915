#pragma once

#include "CWnd.h"

class CDataExchange;

// A modal dialog on a dialog template of the program's resources. The template's window is
// routed through the dialog's message map from WM_INITDIALOG on.
class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Moves data between the controls and the members: FALSE reads the members into the
    // controls, TRUE reads and validates the controls into the members. Returns FALSE when a
    // validation failed (the user has then been told and the control has the focus).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Reads the controls into the members without validating or reporting anything: for
    // exchanges the dialog runs on its own, which must not pop up over the user's work.
    void ReadControlsQuietly();

    BEGIN_MSG_MAP(CDialog)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMsg)
    COMMAND_ID_HANDLER(IDOK, OnOKCmd)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancelCmd)
    END_MSG_MAP()

    UINT m_nIDHelp = 0;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

    // Attaches the object to a dialog window created elsewhere (property pages).
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Runs WM_INITDIALOG through the map of an object that was just attached.
    INT_PTR InitFromDialogProc(HWND hDlg, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    BOOL Exchange(CDataExchange& dx);

    LRESULT OnInitDialogMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOKCmd(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCancelCmd(UINT, WPARAM, LPARAM, BOOL&);

    BOOL m_bExchanging = FALSE;
};
