#include "CCloseRule.h"

#include <cstdlib>
#include <ctime>

namespace
{
constexpr UINT_PTR INPUT_WATCH_TIMER = 1;
} // namespace

void CCloseRule::Start()
{
    m_nStartClock = static_cast<long>(std::clock());
    Watch();
    ::SetTimer(m_primary.m_hWnd, INPUT_WATCH_TIMER, INPUT_WATCH_MILLISECONDS, nullptr);
}

bool CCloseRule::InGrace() const
{
    return static_cast<long>(std::clock()) - m_nStartClock <= GRACE_MILLISECONDS;
}

void CCloseRule::RequestClose()
{
    if (m_primary.m_hWnd != nullptr)
        ::PostMessageA(m_primary.m_hWnd, WM_CLOSE, 0, 0);
}

void CCloseRule::OnPointerAt(POINT pt)
{
    if (m_bDialogUp || InGrace())
        return;
    if (!m_bHasReference)
    {
        m_ptReference = pt;
        m_bHasReference = true;
    }
    else if (std::abs(pt.x - m_ptReference.x) > MOUSE_THRESHOLD ||
             std::abs(pt.y - m_ptReference.y) > MOUSE_THRESHOLD)
    {
        RequestClose();
    }
}

void CCloseRule::OnInputMessage()
{
    // The system stamps its last input when it queues it, which is not the message's own time.
    LASTINPUTINFO info = {sizeof(info), 0};
    ::GetLastInputInfo(&info);
    m_dwInputSeen = info.dwTime;
}

void CCloseRule::SetDialogUp(bool bUp)
{
    m_bDialogUp = bUp;
    if (bUp)
        return;
    m_bHasReference = ::GetCursorPos(&m_ptReference) != FALSE;
    Watch();
}

void CCloseRule::Watch()
{
    LASTINPUTINFO info = {sizeof(info), 0};
    ::GetLastInputInfo(&info);
    m_dwLastInput = info.dwTime;
    ::GetCursorPos(&m_ptLastCursor);
}

bool CCloseRule::OnTimer(UINT_PTR nID)
{
    // Input may go elsewhere when the saver did not get the foreground, or the pointer sits
    // where no window of this process is: the system's record of the last input and the
    // pointer's position still tell.
    if (nID != INPUT_WATCH_TIMER)
        return false;
    if (m_bDialogUp)
        return true;
    const DWORD dwLastInput = m_dwLastInput;
    const POINT ptLast = m_ptLastCursor;
    Watch();
    // The release of a key pressed before the saver started is no reason to end it.
    if (InGrace())
        return true;
    const bool bMoved = m_ptLastCursor.x != ptLast.x || m_ptLastCursor.y != ptLast.y;
    if (bMoved)
        OnPointerAt(m_ptLastCursor);
    else if (m_dwLastInput != dwLastInput && m_dwLastInput != m_dwInputSeen)
        RequestClose(); // a key or a button that no message brought
    return true;
}
