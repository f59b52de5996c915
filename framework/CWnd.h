#pragma once

#include "MessageMap.h"

#include <windows.h>

#include <string>

// A window object bound to one HWND. Messages reach the object's message map through the
// framework's window procedure; what the map leaves unhandled gets the default processing
// (the window class's procedure for subclassed windows, DefWindowProc for the framework's
// own classes). Objects created with new delete themselves in an override of PostNcDestroy;
// the dispatch never touches an object after its WM_NCDESTROY. A handler that throws gets no
// default processing: WM_CREATE fails with -1, WM_NCCREATE with FALSE, anything else gives 0.
class CWnd
{
public:
    CWnd();
    virtual ~CWnd();

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // FALSE: no window exists and PostNcDestroy has run (an object that owns itself is gone).
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // The object for a handle: the permanent one when the window is attached to an object,
    // otherwise a temporary object that lives until the application ends. Null for NULL.
    static CWnd* FromHandle(HWND hWnd);
    // The attached object, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Routes an existing window's messages through this object's message map.
    BOOL SubclassWindow(HWND hWnd);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Thin forwards to the Win32 calls of the same name.
    BOOL PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL ShowWindow(int nCmdShow);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    CWnd* GetDlgItem(int nID) const;
    CWnd* GetParent() const;
    void SetWindowText(LPCSTR lpszString);
    std::string GetWindowText() const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    std::string GetDlgItemText(int nID) const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    CWnd* SetFocus();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL IsWindowVisible() const;

    // Default processing of the message being handled.
    LRESULT Default();

    virtual BOOL ProcessWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Called after the window is destroyed and detached. Objects that own themselves delete
    // themselves here.
    virtual void PostNcDestroy();

private:
    struct CurrentMessage
    {
        UINT uMsg;
        WPARAM wParam;
        LPARAM lParam;
    };

    void OnNcDestroy();

    WNDPROC m_pfnSuper = nullptr;
    CurrentMessage m_msgCur = {0, 0, 0};

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend void AfxHookWindowCreate(CWnd* pWnd);
};

// The window procedure of every class that AfxRegisterWndClass registers.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The next window created on this thread through AfxWndProc is attached to pWnd at its first
// message.
void AfxHookWindowCreate(CWnd* pWnd);

// Frees the temporary objects FromHandle made.
void AfxDeleteTempWindows();
