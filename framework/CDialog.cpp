#include "CDialog.h"

#include "Afx.h"
#include "CDataExchange.h"

namespace
{
// Centres a dialog over its owner, or over the work area when it has none or the owner is
// hidden, keeping it on the screen.
void CenterOverOwner(HWND hDlg)
{
    RECT rcArea = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    RECT rcCentre = rcArea;
    HWND hOwner = ::GetWindow(hDlg, GW_OWNER);
    if (hOwner != nullptr && ::IsWindowVisible(hOwner))
        ::GetWindowRect(hOwner, &rcCentre);
    RECT rcDlg = {};
    ::GetWindowRect(hDlg, &rcDlg);
    const int nWidth = rcDlg.right - rcDlg.left;
    const int nHeight = rcDlg.bottom - rcDlg.top;
    int x = (rcCentre.left + rcCentre.right - nWidth) / 2;
    int y = (rcCentre.top + rcCentre.bottom - nHeight) / 2;
    if (x + nWidth > rcArea.right)
        x = rcArea.right - nWidth;
    if (y + nHeight > rcArea.bottom)
        y = rcArea.bottom - nHeight;
    x = x < rcArea.left ? rcArea.left : x;
    y = y < rcArea.top ? rcArea.top : y;
    ::SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
} // namespace

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
    RECT rcBefore = {};
    ::GetWindowRect(hDlg, &rcBefore);
    const INT_PTR nResult = static_cast<INT_PTR>(WindowProc(WM_INITDIALOG, wParam, lParam));
    // A top-level dialog that its initialisation did not place opens centred over its owner.
    RECT rcAfter = {};
    if (::IsWindow(hDlg) && (::GetWindowLongA(hDlg, GWL_STYLE) & WS_CHILD) == 0 &&
        ::GetWindowRect(hDlg, &rcAfter) && ::EqualRect(&rcBefore, &rcAfter))
        CenterOverOwner(hDlg);
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    return Exchange(dx);
}

void CDialog::ReadControlsQuietly()
{
    CDataExchange dx(this, TRUE, TRUE);
    Exchange(dx);
}

BOOL CDialog::Exchange(CDataExchange& dx)
{
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
