#include "CAboutPage.h"

#include "Afx.h"

#include <shellapi.h>

#include <string>

namespace
{
const char kMailScheme[] = "mailto:";

// Hands an address to the shell; when nothing handles it, nothing happens.
void OpenAddress(UINT nIDAddress)
{
    const std::string strAddress = AfxLoadString(nIDAddress);
    ::ShellExecuteA(nullptr, "open", strAddress.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
} // namespace

CAboutPage::CAboutPage(const ISettingsReader* pReader, ISettingsWriter* pWriter)
    : CPropertyPage(IDD_ABOUT), m_pWriter(pWriter), m_pReader(pReader)
{
}

CAboutPage::~CAboutPage() = default;

BOOL CAboutPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The addresses live in the string table only, where a packager can change them.
    std::string strMail = AfxLoadString(IDS_MAIL_ADDRESS);
    if (strMail.compare(0, sizeof(kMailScheme) - 1, kMailScheme) == 0)
        strMail.erase(0, sizeof(kMailScheme) - 1);
    const std::string strContact =
        " Contact Us: \n " + strMail + "\n " + AfxLoadString(IDS_WEB_ADDRESS);
    SetDlgItemText(IDC_ABOUT_CONTACT, strContact.c_str());
    return TRUE;
}

LRESULT CAboutPage::OnWebPage(UINT, WPARAM, LPARAM, BOOL&)
{
    OpenAddress(IDS_WEB_ADDRESS);
    return 0;
}

LRESULT CAboutPage::OnEmailAuthor(UINT, WPARAM, LPARAM, BOOL&)
{
    OpenAddress(IDS_MAIL_ADDRESS);
    return 0;
}
