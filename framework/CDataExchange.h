#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The state of one exchange between a dialog's controls and its members.
class CDataExchange
{
public:
    // Thrown by Fail to stop the exchange; UpdateData catches it.
    struct Failure
    {
    };

    // A quiet exchange reads the controls without validating: a text that is not a number
    // leaves its member as it was, ranges are not checked and nothing is reported.
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate, BOOL bQuiet = FALSE);

    // The control the next validation refers to.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);

    // Gives the last prepared control the focus (an edit with its text selected) and stops the
    // exchange. The caller has told the user what is wrong.
    [[noreturn]] void Fail();

    HWND GetLastControl() const { return m_hWndLastControl; }

    BOOL m_bSaveAndValidate;
    BOOL m_bQuiet;
    CWnd* m_pDlgWnd;

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// The exchanges and validations, each validation placed right after the exchange it checks.
void DDX_Text(CDataExchange* pDX, int nIDC, int& nValue);
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& strValue);
void DDV_MinMaxInt(CDataExchange* pDX, int nValue, int nMin, int nMax);
void DDV_MaxChars(CDataExchange* pDX, const std::string& strValue, int nChars);

// Parses a whole text as a decimal int: optional white space, an optional sign, digits, then
// only white space. FALSE for anything else, including a value outside the int range.
BOOL AfxParseInt(LPCSTR lpszText, int& nValue);
