#pragma once

#include "CWnd.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CPropertyPage;

// A modal property sheet of the common controls with pages added in tab order. The sheet's
// window is routed through the object's message map once the common controls have set it
// up; OnInitDialog runs at that point.
class CPropertySheet : public CWnd
{
public:
    // The caption is string-table entry nIDCaption.
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // The sheet does not own its pages.
    void AddPage(CPropertyPage* pPage);

    // IDOK when the sheet was accepted, IDCANCEL otherwise.
    virtual INT_PTR DoModal();

    // Passed to the common controls as it stands when DoModal starts; a derived sheet may
    // add flags.
    PROPSHEETHEADERA m_psh = {};

protected:
    virtual BOOL OnInitDialog();

private:
    static int CALLBACK PropSheetCallback(HWND hWnd, UINT uMsg, LPARAM lParam);

    std::string m_strCaption;
    CWnd* m_pParentWnd;
    std::vector<CPropertyPage*> m_pageList;
};
