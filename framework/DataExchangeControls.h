#pragma once

// Exchanges with the common controls, alongside the text exchanges of CDataExchange.h.

class CDataExchange;
class CWnd;

// The selected row of a combo box; -1 when nothing is selected.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& nIndex);
// The position of a trackbar.
void DDX_Slider(CDataExchange* pDX, int nIDC, int& nValue);
// The state of a check box: 0 clear, 1 ticked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nIDC, int& nValue);
// Binds the control to a window object on the first exchange, routing it through the
// object's message map.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
