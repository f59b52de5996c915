#include "CPropertyPage.h"

#include "Afx.h"

#include <cstring>

namespace
{
// The resource type of a dialog's control initialisation data, and the layout of one entry:
// control id, message, byte count, then the bytes.
const LPCSTR RT_DLGINIT_TYPE = MAKEINTRESOURCEA(240);
constexpr size_t DLGINIT_HEADER_BYTES = 2 + 2 + 4;
// The data names the add-string messages by their old 16-bit codes.
constexpr WORD DLGINIT_LB_ADDSTRING = 0x0401;
constexpr WORD DLGINIT_CB_ADDSTRING = 0x0403;

UINT DlgInitMessage(WORD wMessage)
{
    switch (wMessage)
    {
    case DLGINIT_LB_ADDSTRING:
        return LB_ADDSTRING;
    case DLGINIT_CB_ADDSTRING:
        return CB_ADDSTRING;
    default:
        return wMessage;
    }
}
} // namespace

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate)
{
    if (nIDCaption != 0)
        m_strCaption = AfxLoadString(nIDCaption);
}

PROPSHEETPAGEA CPropertyPage::BuildPropSheetPage()
{
    // The sheet walks its array of pages by their dwSize, so it is the array's stride.
    PROPSHEETPAGEA psp = {};
    psp.dwSize = sizeof(PROPSHEETPAGEA);
    psp.dwFlags = m_strCaption.empty() ? PSP_DEFAULT : PSP_USETITLE;
    psp.hInstance = AfxGetResourceHandle();
    psp.pszTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
    psp.pszTitle = m_strCaption.c_str();
    psp.pfnDlgProc = &CPropertyPage::PageDialogProc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
    return psp;
}

INT_PTR CALLBACK CPropertyPage::PageDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg != WM_INITDIALOG || CWnd::FromHandlePermanent(hDlg) != nullptr)
        return FALSE; // the dialog manager's own processing
    // The page arrives with the sheet's copy of its description.
    const PROPSHEETPAGEA* pPsp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    CPropertyPage* pPage = reinterpret_cast<CPropertyPage*>(pPsp->lParam);
    return pPage->InitFromDialogProc(hDlg, wParam, lParam);
}

void CPropertyPage::ExecuteDlgInit()
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DLGINIT_TYPE);
    if (hResource == nullptr)
        return;
    HGLOBAL hData = ::LoadResource(hInstance, hResource);
    const BYTE* pData =
        hData != nullptr ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    if (pData == nullptr)
        return;
    const size_t nSize = ::SizeofResource(hInstance, hResource);

    size_t nOffset = 0;
    while (nOffset + 2 <= nSize)
    {
        WORD wID = 0;
        std::memcpy(&wID, pData + nOffset, 2);
        if (wID == 0 || nOffset + DLGINIT_HEADER_BYTES > nSize)
            break;
        WORD wMessage = 0;
        DWORD dwLength = 0;
        std::memcpy(&wMessage, pData + nOffset + 2, 2);
        std::memcpy(&dwLength, pData + nOffset + 4, 4);
        nOffset += DLGINIT_HEADER_BYTES;
        if (dwLength > nSize - nOffset)
            break; // damaged data: never read past the resource
        // The text is sent with its terminator; data without one is not sent at all.
        const char* pszText = reinterpret_cast<const char*>(pData + nOffset);
        if (dwLength > 0 && pszText[dwLength - 1] == '\0')
            ::SendDlgItemMessageA(m_hWnd, wID, DlgInitMessage(wMessage), 0,
                                  reinterpret_cast<LPARAM>(pszText));
        nOffset += dwLength;
    }
}

BOOL CPropertyPage::OnInitDialog()
{
    ExecuteDlgInit();
    return CDialog::OnInitDialog();
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

LRESULT CPropertyPage::OnSetActiveNotify(UINT, WPARAM, LPARAM, BOOL&)
{
    return OnSetActive() ? 0 : -1;
}

LRESULT CPropertyPage::OnKillActiveNotify(UINT, WPARAM, LPARAM, BOOL&)
{
    return OnKillActive() ? FALSE : TRUE;
}

LRESULT CPropertyPage::OnApplyNotify(UINT, WPARAM, LPARAM, BOOL&)
{
    return OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
}

LRESULT CPropertyPage::OnResetNotify(UINT, WPARAM, LPARAM, BOOL&)
{
    OnCancel();
    return 0;
}

LRESULT CPropertyPage::OnSheetButton(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}
