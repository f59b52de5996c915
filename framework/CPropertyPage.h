#pragma once

#include "CDialog.h"

#include <commctrl.h>

#include <string>

// One page of a property sheet, on a dialog template of the program's resources. The sheet's
// notifications arrive as virtual calls: a page becoming active gets its members written
// into its controls, a page being left is validated, and OK calls OnOK of every page that
// was created. OK and Cancel belong to the sheet; a page never ends a dialog itself.
class CPropertyPage : public CDialog
{
public:
    // The tab title is string-table entry nIDCaption, or the template's caption for 0.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    // The description the sheet hands to the common controls.
    PROPSHEETPAGEA BuildPropSheetPage();

    BEGIN_MSG_MAP(CPropertyPage)
    NOTIFY_CODE_HANDLER(PSN_SETACTIVE, OnSetActiveNotify)
    NOTIFY_CODE_HANDLER(PSN_KILLACTIVE, OnKillActiveNotify)
    NOTIFY_CODE_HANDLER(PSN_APPLY, OnApplyNotify)
    NOTIFY_CODE_HANDLER(PSN_RESET, OnResetNotify)
    COMMAND_ID_HANDLER(IDOK, OnSheetButton)
    COMMAND_ID_HANDLER(IDCANCEL, OnSheetButton)
    CHAIN_MSG_MAP(CDialog)
    END_MSG_MAP()

protected:
    // Applies the template's control initialisation data, then writes the members into the
    // controls.
    BOOL OnInitDialog() override;
    // Writes the members into the controls again (not on the first activation, which
    // OnInitDialog has served). FALSE refuses the activation.
    virtual BOOL OnSetActive();
    // Reads and validates the controls; FALSE keeps the page in front.
    virtual BOOL OnKillActive();
    // The sheet was accepted: calls OnOK. FALSE keeps the sheet open.
    virtual BOOL OnApply();
    // The sheet was accepted (OnOK) or cancelled (OnCancel). Nothing by default.
    void OnOK() override;
    void OnCancel() override;

private:
    static INT_PTR CALLBACK PageDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void ExecuteDlgInit();

    LRESULT OnSetActiveNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKillActiveNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnApplyNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnResetNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSheetButton(UINT, WPARAM, LPARAM, BOOL&);

    std::string m_strCaption;
    BOOL m_bFirstSetActive = TRUE;
};
