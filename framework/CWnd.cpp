#include "CWnd.h"

#include "Afx.h"

#include <mutex>
#include <unordered_map>

namespace
{
// Handle maps. Windows belong to the threads that create them, but the maps are process-wide,
// so they are guarded.
std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*> g_permanentMap;
std::unordered_map<HWND, CWnd*> g_temporaryMap;

thread_local CWnd* t_pWndInit = nullptr;

// A dispatch or a creation in progress on this thread for one object. An object that owns
// itself may be deleted by its PostNcDestroy in the middle of either (WM_NCDESTROY arrives
// nested inside the handler that destroyed the window), so WM_NCDESTROY marks every watch
// of its object and the code that resumes after a handler touches the object only when its
// watch is unmarked.
struct WindowWatch
{
    explicit WindowWatch(CWnd* pWatched) : pWnd(pWatched), pOuter(t_pWatches) { t_pWatches = this; }
    ~WindowWatch() { t_pWatches = pOuter; }
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    static void MarkDetached(const CWnd* pDetached)
    {
        for (WindowWatch* pWatch = t_pWatches; pWatch != nullptr; pWatch = pWatch->pOuter)
        {
            if (pWatch->pWnd == pDetached)
                pWatch->bDetached = true;
        }
    }

    CWnd* pWnd;
    WindowWatch* pOuter;
    bool bDetached = false;

    static thread_local WindowWatch* t_pWatches;
};
thread_local WindowWatch* WindowWatch::t_pWatches = nullptr;

// What a message gets when its handler threw: creation fails, everything else is treated
// as handled with a neutral result, so that no half-done handler is followed by the default
// (a close without its checks, a window without its set-up).
LRESULT FailedHandlerResult(UINT uMsg)
{
    if (uMsg == WM_CREATE)
        return -1;
    return 0; // WM_NCCREATE: FALSE
}
} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
    {
        // The object goes before its window: destroy the window now so that no message
        // reaches a dead object.
        ::DestroyWindow(m_hWnd);
        Detach();
    }
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    WindowWatch watch(this);
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                  pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                  AfxGetInstanceHandle(), lpParam);
    const bool bHooked = t_pWndInit == nullptr;
    t_pWndInit = nullptr;
    if (hWnd == nullptr)
    {
        // A creation refused after WM_NCCREATE ends with WM_NCDESTROY, which has run
        // PostNcDestroy; one refused before the window procedure ran (a bad class, no
        // resources) has not, and an object that owns itself would leak. Give it its end here,
        // so that a FALSE result always means the window is gone and PostNcDestroy has run.
        if (!watch.bDetached)
        {
            Detach();
            PostNcDestroy();
        }
        return FALSE;
    }
    if (!bHooked)
    {
        // A class with a procedure of its own: route it through the message map from now on.
        SubclassWindow(hWnd);
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    std::lock_guard<std::mutex> lock(g_mapLock);
    const auto it = g_permanentMap.find(hWnd);
    return it == g_permanentMap.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;

    std::lock_guard<std::mutex> lock(g_mapLock);
    CWnd*& pTemp = g_temporaryMap[hWnd];
    if (pTemp == nullptr)
    {
        pTemp = new CWnd;
        pTemp->m_hWnd = hWnd;
    }
    return pTemp;
}

void AfxDeleteTempWindows()
{
    std::unordered_map<HWND, CWnd*> temps;
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        temps.swap(g_temporaryMap);
    }
    for (auto& entry : temps)
    {
        entry.second->m_hWnd = nullptr; // not ours to destroy
        delete entry.second;
    }
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    m_hWnd = hWnd;
    std::lock_guard<std::mutex> lock(g_mapLock);
    g_permanentMap[hWnd] = this;
    // A temporary object for the same window would now be stale.
    const auto it = g_temporaryMap.find(hWnd);
    if (it != g_temporaryMap.end())
        it->second->m_hWnd = hWnd; // still usable, simply not the permanent one
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr)
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        const auto it = g_permanentMap.find(hWnd);
        if (it != g_permanentMap.end() && it->second == this)
            g_permanentMap.erase(it);
    }
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    const WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (pfnOld != &AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    t_pWndInit = pWnd;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr && t_pWndInit != nullptr)
    {
        // First message of a window being created through CreateEx.
        pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->Attach(hWnd);
    }
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
    return pWnd->WindowProc(uMsg, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    WindowWatch watch(this);
    const CurrentMessage msgSaved = m_msgCur;
    m_msgCur = {uMsg, wParam, lParam};

    LRESULT lResult = 0;
    BOOL bHandled = FALSE;
    try
    {
        bHandled = ProcessWindowMessage(uMsg, wParam, lParam, lResult);
    }
    catch (...)
    {
        // Nothing may unwind through the system's window procedure. WM_NCDESTROY still gets
        // its default and the detach below: the window is going whatever the handler did.
        bHandled = uMsg != WM_NCDESTROY;
        lResult = FailedHandlerResult(uMsg);
    }
    // The handler destroyed the window and the object may have deleted itself with it.
    if (watch.bDetached)
        return lResult;
    if (uMsg == WM_NCDESTROY)
    {
        if (!bHandled)
            lResult = DefWindowProc(uMsg, wParam, lParam);
        OnNcDestroy();
        return lResult;
    }
    if (!bHandled)
    {
        lResult = DefWindowProc(uMsg, wParam, lParam);
        if (watch.bDetached)
            return lResult;
    }
    m_msgCur = msgSaved;
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, uMsg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.uMsg, m_msgCur.wParam, m_msgCur.lParam);
}

BOOL CWnd::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

void CWnd::OnNcDestroy()
{
    // The main window's end is the application's end.
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this)
    {
        pApp->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Detach();
    WindowWatch::MarkDetached(this);
    PostNcDestroy();
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageA(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, uMsg, wParam, lParam);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    ::GetWindowRect(m_hWnd, lpRect);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

std::string CWnd::GetWindowText() const
{
    const int nLength = ::GetWindowTextLengthA(m_hWnd);
    std::string strText(static_cast<size_t>(nLength) + 1, '\0');
    const int nCopied = ::GetWindowTextA(m_hWnd, &strText[0], nLength + 1);
    strText.resize(static_cast<size_t>(nCopied > 0 ? nCopied : 0));
    return strText;
}

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ::SetDlgItemTextA(m_hWnd, nID, lpszString);
}

std::string CWnd::GetDlgItemText(int nID) const
{
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == nullptr)
        return std::string();
    const int nLength = ::GetWindowTextLengthA(hItem);
    std::string strText(static_cast<size_t>(nLength) + 1, '\0');
    const int nCopied = ::GetWindowTextA(hItem, &strText[0], nLength + 1);
    strText.resize(static_cast<size_t>(nCopied > 0 ? nCopied : 0));
    return strText;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}
