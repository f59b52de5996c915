#pragma once

#include "CPropertySheet.h"
#include "CSaverSettings.h"

#include <list>

class CPropertyPage;

// The settings sheet: the Settings page and the About page over one settings record, loaded
// before the pages are made, saved when the sheet is accepted and reloaded otherwise.
class CConfigDialog : public CPropertySheet
{
public:
    CConfigDialog(CWnd* pParentWnd, UINT iSelectPage);
    ~CConfigDialog() override;

    INT_PTR DoModal() override;

protected:
    // Shows only OK and Cancel, in the places of Apply and Help.
    BOOL OnInitDialog() override;

private:
    void AddOwnedPage(CPropertyPage* pPage);

    CSaverSettings m_settings;
    std::list<CPropertyPage*> m_pages; // owned, deleted in the order they were added
};
