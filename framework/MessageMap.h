#pragma once

// Declarative message maps. A class lists the messages it handles between BEGIN_MSG_MAP and
// END_MSG_MAP and chains to its base; the framework's window procedure asks the map first and
// gives every message the map leaves unhandled the default processing.
//
// Every handler has the form
//     LRESULT OnSomething(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
// bHandled arrives TRUE; a handler that sets it to FALSE passes the message on to the next
// entry and, at the end of the map, to the default processing. A handler that wants the
// default processing first, or its result, calls CWnd::Default() itself.

#define BEGIN_MSG_MAP(theClass)                                                                    \
public:                                                                                            \
    BOOL ProcessWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override  \
    {                                                                                              \
        BOOL bHandled = TRUE;                                                                      \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                                                                 \
    if (uMsg == (msg))                                                                             \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return TRUE;                                                                           \
    }

// Every message from first to last (inclusive).
#define MESSAGE_RANGE_HANDLER(first, last, func)                                                   \
    if (uMsg >= (first) && uMsg <= (last))                                                         \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return TRUE;                                                                           \
    }

// WM_COMMAND from control (or menu/accelerator) id with any notification code.
#define COMMAND_ID_HANDLER(id, func)                                                               \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id))                                              \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return TRUE;                                                                           \
    }

// WM_COMMAND from control id with one notification code.
#define COMMAND_HANDLER(id, code, func)                                                            \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code))                  \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return TRUE;                                                                           \
    }

// WM_NOTIFY from control id with one notification code.
#define NOTIFY_HANDLER(id, cd, func)                                                               \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->idFrom == (UINT_PTR)(id) &&        \
        reinterpret_cast<LPNMHDR>(lParam)->code == (UINT)(cd))                                     \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return TRUE;                                                                           \
    }

// WM_NOTIFY with one notification code from any control.
#define NOTIFY_CODE_HANDLER(cd, func)                                                              \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->code == (UINT)(cd))                \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return TRUE;                                                                           \
    }

#define CHAIN_MSG_MAP(theChainClass)                                                               \
    if (theChainClass::ProcessWindowMessage(uMsg, wParam, lParam, lResult))                        \
        return TRUE;

#define END_MSG_MAP()                                                                              \
    return FALSE;                                                                                  \
    }
