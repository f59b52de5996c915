#include "CPropertySheet.h"

#include "Afx.h"
#include "CPropertyPage.h"

namespace
{
// The sheet being created on this thread, until its callback has attached it.
thread_local CPropertySheet* t_pSheetInit = nullptr;
} // namespace

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(AfxLoadString(nIDCaption)), m_pParentWnd(pParentWnd)
{
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pageList.push_back(pPage);
}

INT_PTR CPropertySheet::DoModal()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* pPage : m_pageList)
        pages.push_back(pPage->BuildPropSheetPage());

    m_psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.hwndParent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption.c_str();
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.ppsp = pages.data();
    m_psh.pfnCallback = &CPropertySheet::PropSheetCallback;

    t_pSheetInit = this;
    const INT_PTR nResult = ::PropertySheetA(&m_psh);
    t_pSheetInit = nullptr;
    // Accepted: IDOK or a restart request; cancelled: 0; failed: -1.
    return nResult > 0 ? IDOK : IDCANCEL;
}

int CALLBACK CPropertySheet::PropSheetCallback(HWND hWnd, UINT uMsg, LPARAM)
{
    if (uMsg != PSCB_INITIALIZED || t_pSheetInit == nullptr)
        return 0;
    CPropertySheet* pSheet = t_pSheetInit;
    t_pSheetInit = nullptr;
    pSheet->SubclassWindow(hWnd);
    pSheet->OnInitDialog();
    return 0;
}

BOOL CPropertySheet::OnInitDialog()
{
    return TRUE;
}
