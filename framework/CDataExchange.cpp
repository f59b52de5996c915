#include "CDataExchange.h"

#include "Afx.h"

#include <climits>
#include <string>

namespace
{
const char kParseIntMessage[] = "Please enter an integer.";
const char kParseIntRangeMessage[] = "Please enter an integer between %1 and %2.";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate, BOOL bQuiet)
    : m_bSaveAndValidate(bSaveAndValidate), m_bQuiet(bSaveAndValidate && bQuiet), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_bEditLastControl = FALSE;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr)
    {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw Failure();
}

BOOL AfxParseInt(LPCSTR lpszText, int& nValue)
{
    LPCSTR p = lpszText;
    while (IsBlank(*p))
        ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-')
        bNegative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return FALSE;
    long long llValue = 0;
    while (*p >= '0' && *p <= '9')
    {
        llValue = llValue * 10 + (*p++ - '0');
        if (llValue > static_cast<long long>(INT_MAX) + 1)
            return FALSE;
    }
    while (IsBlank(*p))
        ++p;
    if (*p != '\0')
        return FALSE;
    if (bNegative)
        llValue = -llValue;
    if (llValue > INT_MAX || llValue < INT_MIN)
        return FALSE;
    nValue = static_cast<int>(llValue);
    return TRUE;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& nValue)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
    {
        const std::string strText = CWnd::FromHandle(hWndCtrl)->GetWindowText();
        int nParsed = 0;
        if (!AfxParseInt(strText.c_str(), nParsed))
        {
            if (pDX->m_bQuiet)
                return;
            AfxMessageBox(kParseIntMessage, MB_OK);
            pDX->Fail();
        }
        nValue = nParsed;
    }
    else
    {
        ::SetWindowTextA(hWndCtrl, std::to_string(nValue).c_str());
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& strValue)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        strValue = CWnd::FromHandle(hWndCtrl)->GetWindowText();
    else
        ::SetWindowTextA(hWndCtrl, strValue.c_str());
}

void DDV_MinMaxInt(CDataExchange* pDX, int nValue, int nMin, int nMax)
{
    if (!pDX->m_bSaveAndValidate || pDX->m_bQuiet || (nValue >= nMin && nValue <= nMax))
        return;
    const std::string strMessage = AfxFormatString2(
        kParseIntRangeMessage, std::to_string(nMin).c_str(), std::to_string(nMax).c_str());
    AfxMessageBox(strMessage.c_str(), MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& strValue, int nChars)
{
    if (!pDX->m_bSaveAndValidate)
    {
        ::SendMessageA(pDX->GetLastControl(), EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (!pDX->m_bQuiet && strValue.size() > static_cast<size_t>(nChars))
    {
        const std::string strMessage =
            "Enter no more than " + std::to_string(nChars) + " characters.";
        AfxMessageBox(strMessage.c_str(), MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
