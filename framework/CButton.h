#pragma once

#include "CWnd.h"

// A button or check box bound to a dialog control.
class CButton : public CWnd
{
public:
    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, nCheck, 0); }
};
