#pragma once

#include "Afx.h"

// When the user's input ends the full-screen saver: a key, a button, the wheel, the loss of
// activation to another program, or the pointer moved more than MOUSE_THRESHOLD pixels from
// where it was first seen after the grace period. Every saver window passes its input here,
// and the rule asks the primary window to close (WM_CLOSE, which applies the password check).
// A watch of the system's last input ends the saver on input that reached no saver window.
// While the password dialog is up, the dialog has the input and the rule asks nothing.
class CCloseRule
{
public:
    // Mouse moves in the first second after the start are ignored: the move that comes with
    // the window itself must not end the saver.
    static constexpr long GRACE_MILLISECONDS = 1000;
    // How far the pointer may wander from its reference.
    static constexpr int MOUSE_THRESHOLD = 15;
    // How often the watch looks: a quarter of a second is quick enough to end the saver, and
    // every look costs Wine's server several round trips.
    static constexpr UINT INPUT_WATCH_MILLISECONDS = 250;

    // primary receives the close requests and the watch's timer.
    explicit CCloseRule(CWnd& primary) : m_primary(primary) {}

    // Starts the grace period and the watch.
    void Start();
    // The watch's timer reaches the primary window as WM_TIMER; true when nID is its.
    bool OnTimer(UINT_PTR nID);

    void RequestClose();
    // The pointer at pt, in screen coordinates: the rule spans every monitor's window.
    void OnPointerAt(POINT pt);
    // Input that came as a message; the watch leaves it to the message rules.
    void OnInputMessage();

    // The password dialog is up. When it goes, what was typed into it is no new input, and
    // only a move away from where the pointer is then asks again.
    void SetDialogUp(bool bUp);
    bool IsDialogUp() const { return m_bDialogUp; }

private:
    bool InGrace() const;
    // Takes the system's last-input time and the pointer's position as seen.
    void Watch();

    CWnd& m_primary;
    long m_nStartClock = 0;
    bool m_bDialogUp = false;
    // A flag, not a sentinel position: every point, (-1,-1) included, may be on a monitor.
    bool m_bHasReference = false;
    POINT m_ptReference = {0, 0};
    DWORD m_dwLastInput = 0; // the system's last input time, as last seen
    DWORD m_dwInputSeen = 0; // the system's last input time when a message last brought input
    POINT m_ptLastCursor = {0, 0};
};
