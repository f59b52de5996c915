#include "CDialog.h"

#include "Afx.h"
#include "CDataExchange.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    HWND hParent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    return ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hParent,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg != WM_INITDIALOG || CWnd::FromHandlePermanent(hDlg) != nullptr)
        return FALSE; // the dialog manager's own processing
    CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
    return pDialog->InitFromDialogProc(hDlg, wParam, lParam);
}

INT_PTR CDialog::InitFromDialogProc(HWND hDlg, WPARAM wParam, LPARAM lParam)
{
    SubclassWindow(hDlg);
    return static_cast<INT_PTR>(WindowProc(WM_INITDIALOG, wParam, lParam));
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    const BOOL bOldExchanging = m_bExchanging;
    m_bExchanging = TRUE;
    BOOL bResult = TRUE;
    try
    {
        DoDataExchange(&dx);
    }
    catch (const CDataExchange::Failure&)
    {
        bResult = FALSE;
    }
    m_bExchanging = bOldExchanging;
    return bResult;
}

LRESULT CDialog::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    // Controls notify while their contents are being set; the handlers are not to see that.
    if (m_bExchanging && ((uMsg == WM_COMMAND && lParam != 0) || uMsg == WM_NOTIFY ||
                          ((uMsg == WM_HSCROLL || uMsg == WM_VSCROLL) && lParam != 0)))
        return DefWindowProc(uMsg, wParam, lParam);
    return CWnd::WindowProc(uMsg, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::OnInitDialogMsg(UINT, WPARAM, LPARAM, BOOL&)
{
    return OnInitDialog();
}

LRESULT CDialog::OnOKCmd(UINT, WPARAM, LPARAM, BOOL&)
{
    OnOK();
    return 0;
}

LRESULT CDialog::OnCancelCmd(UINT, WPARAM, LPARAM, BOOL&)
{
    OnCancel();
    return 0;
}
