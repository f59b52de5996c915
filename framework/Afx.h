#pragma once

// The application framework: everything the program's windows and dialogs build on.

#include "CWinApp.h"
#include "CWnd.h"

#include <windows.h>

#include <string>

// A message box with the application name as its caption, owned by the active window of the
// calling thread when there is one.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0);

// A string-table entry of the program's resources, empty when it is missing.
std::string AfxLoadString(UINT nID);

// Registers (once per distinct set of arguments) a window class whose procedure is the
// framework's, and returns its generated name.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                           HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

// Replaces %1, %2, ... in a format with the given texts.
std::string AfxFormatString2(LPCSTR lpszFormat, LPCSTR lpsz1, LPCSTR lpsz2);
