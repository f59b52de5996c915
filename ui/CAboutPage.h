#pragma once

#include "CPropertyPage.h"
#include "resource.h"

class ISettingsReader;
class ISettingsWriter;

// The sheet's second tab: the picture, name and version, how to reach the makers, and two
// buttons that hand the web page and a mail link to the shell.
class CAboutPage : public CPropertyPage
{
public:
    CAboutPage(const ISettingsReader* pReader, ISettingsWriter* pWriter);
    ~CAboutPage() override;

    BEGIN_MSG_MAP(CAboutPage)
    COMMAND_HANDLER(IDC_WEB_PAGE, BN_CLICKED, OnWebPage)
    COMMAND_HANDLER(IDC_EMAIL_AUTHOR, BN_CLICKED, OnEmailAuthor)
    CHAIN_MSG_MAP(CPropertyPage)
    END_MSG_MAP()

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnWebPage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEmailAuthor(UINT, WPARAM, LPARAM, BOOL&);

    // The sheet's record; the page edits nothing.
    ISettingsWriter* m_pWriter;
    const ISettingsReader* m_pReader;
};
