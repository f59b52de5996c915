#include "DataExchangeControls.h"

#include "CDataExchange.h"
#include "CWnd.h"

#include <commctrl.h>

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& nIndex)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        nIndex = static_cast<int>(::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& nValue)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        nValue = static_cast<int>(::SendMessageA(hWndCtrl, TBM_GETPOS, 0, 0));
    else
        ::SendMessageA(hWndCtrl, TBM_SETPOS, TRUE, nValue);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& nValue)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
    {
        nValue = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    }
    else
    {
        const int nState = nValue >= BST_UNCHECKED && nValue <= BST_INDETERMINATE ? nValue : 0;
        ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(nState), 0);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.GetSafeHwnd() != nullptr)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl != nullptr)
        rControl.SubclassWindow(hWndCtrl);
}
