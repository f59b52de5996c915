#include "CConfigDialog.h"

#include "CAboutPage.h"
#include "CSettingsPage.h"
#include "resource.h"

namespace
{
// Puts a button where another one is and hides that one.
void MoveButtonInto(HWND hSheet, int nButton, int nPlace)
{
    HWND hPlace = ::GetDlgItem(hSheet, nPlace);
    HWND hButton = ::GetDlgItem(hSheet, nButton);
    if (hPlace == nullptr || hButton == nullptr)
        return;
    RECT rect;
    ::GetWindowRect(hPlace, &rect);
    ::MapWindowPoints(nullptr, hSheet, reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(hButton, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 TRUE);
    ::ShowWindow(hPlace, SW_HIDE);
}
} // namespace

CConfigDialog::CConfigDialog(CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(IDS_SHEET_CAPTION, pParentWnd, iSelectPage)
{
    // All four buttons are laid out, so that OK and Cancel can take the places of the last two.
    m_psh.dwFlags |= PSH_HASHELP;

    m_settings.Load();
    AddOwnedPage(new CSettingsPage(&m_settings, &m_settings));
    AddOwnedPage(new CAboutPage(&m_settings, &m_settings));
}

CConfigDialog::~CConfigDialog()
{
    while (!m_pages.empty())
    {
        delete m_pages.front();
        m_pages.pop_front();
    }
}

void CConfigDialog::AddOwnedPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
    AddPage(pPage);
}

INT_PTR CConfigDialog::DoModal()
{
    const INT_PTR nResult = CPropertySheet::DoModal();
    // The pages stored their values into the record on OK; otherwise whatever they stored
    // is thrown away.
    if (nResult == IDOK)
        m_settings.Save();
    else
        m_settings.Load();
    return nResult;
}

BOOL CConfigDialog::OnInitDialog()
{
    CPropertySheet::OnInitDialog();
    MoveButtonInto(m_hWnd, IDOK, ID_APPLY_NOW);
    MoveButtonInto(m_hWnd, IDCANCEL, IDHELP);
    return TRUE;
}
