#include "CRenderLoop.h"

#include "CVulkara.h"
#include "IFrameOutput.h"
#include "ShowEngineFrame.h"

#include <mmsystem.h>
#include <process.h>

std::atomic<int> g_bStopRendering{0};
std::atomic<int> g_bRenderThreadRunning{0};
std::atomic<int> g_bPauseRendering{0};
std::atomic<int> g_bRenderingPaused{0};
std::atomic<int> g_bStopPreview{0};
std::atomic<int> g_bPreviewRunning{0};

const CRenderLoop::SFlags CRenderLoop::SAVER_FLAGS = {&g_bStopRendering, &g_bRenderThreadRunning,
                                                      &g_bPauseRendering, &g_bRenderingPaused};
const CRenderLoop::SFlags CRenderLoop::PREVIEW_FLAGS = {&g_bStopPreview, &g_bPreviewRunning,
                                                        nullptr, nullptr};

namespace
{
constexpr UINT TIMER_RESOLUTION_MILLISECONDS = 1;

// Milliseconds from a monotonic clock of better than the scheduler tick's resolution.
long long NowMs()
{
    static const long long s_nFrequency = []
    {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart / s_nFrequency * 1000 + now.QuadPart % s_nFrequency * 1000 / s_nFrequency;
}
} // namespace

CRenderLoop::CRenderLoop(const SFlags& flags) : m_flags(flags)
{
    if (m_flags.pPause == nullptr)
        m_flags.pPause = &m_bOwnPause;
    if (m_flags.pPaused == nullptr)
        m_flags.pPaused = &m_bOwnPaused;
    // A new loop holds nothing, whatever an earlier one left in the process-wide flags.
    *m_flags.pPause = 0;
    *m_flags.pPaused = 0;
}

CRenderLoop::~CRenderLoop()
{
    Stop();
    *m_flags.pPause = 0;
}

BOOL CRenderLoop::Start(CVulkara& engine, IFrameOutput& output)
{
    if (m_hThread != nullptr)
        return FALSE;
    STarget first = {&engine, &output, {}, {}};
    if (m_targets.empty())
        m_targets.push_back(std::move(first));
    else
        m_targets.front() = std::move(first);
    for (STarget& target : m_targets)
        target.warmRows.assign(static_cast<size_t>(target.pEngine->GetHeight()), 1);
    m_hWake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hAnswered = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);

    // The thread counts as running from here, so that a stop or hold asked for before it has
    // executed anything still waits for it. The hold and the park stay as they stand.
    *m_flags.pStop = 0;
    *m_flags.pPaused = 0;
    *m_flags.pRunning = 1;
    if (m_hWake != nullptr && m_hAnswered != nullptr)
        m_hThread = reinterpret_cast<HANDLE>(
            ::_beginthreadex(nullptr, 0, &CRenderLoop::ThreadEntry, this, 0, nullptr));
    if (m_hThread != nullptr)
        return TRUE;
    *m_flags.pRunning = 0;
    Stop(); // closes the events
    return FALSE;
}

void CRenderLoop::AddTarget(CVulkara& engine, IFrameOutput& output)
{
    if (m_hThread != nullptr)
        return;
    if (m_targets.empty())
        m_targets.push_back({nullptr, nullptr, {}, {}}); // the place of Start's pair
    m_targets.push_back({&engine, &output, {}, {}});
}

void CRenderLoop::ClearExtraTargets()
{
    if (m_hThread == nullptr && m_targets.size() > 1)
        m_targets.resize(1);
}

void CRenderLoop::Stop()
{
    if (m_hThread != nullptr)
    {
        *m_flags.pStop = 1;
        ::SetEvent(m_hWake);
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    for (HANDLE* pEvent : {&m_hWake, &m_hAnswered})
    {
        if (*pEvent != nullptr)
            ::CloseHandle(*pEvent);
        *pEvent = nullptr;
    }
}

void CRenderLoop::Hold()
{
    *m_flags.pPause = 1;
    Request();
}

void CRenderLoop::Release()
{
    *m_flags.pPause = 0;
    if (m_hThread != nullptr)
        ::SetEvent(m_hWake);
}

void CRenderLoop::Park()
{
    m_bPark = 1;
    Request();
}

void CRenderLoop::Unpark()
{
    m_bPark = 0;
    if (m_hThread != nullptr)
        ::SetEvent(m_hWake);
}

void CRenderLoop::Request()
{
    const uint32_t nRequest = ++m_nRequested;
    if (m_hThread == nullptr)
        return;
    ::SetEvent(m_hWake);
    // An answer to an earlier request may have set the event since: the number decides. A
    // thread that has ended answers nothing more, and its handle ends the wait.
    const HANDLE aHandles[] = {m_hAnswered, m_hThread};
    while (static_cast<int32_t>(m_nAnswered - nRequest) < 0)
        if (::WaitForMultipleObjects(2, aHandles, FALSE, INFINITE) != WAIT_OBJECT_0)
            return;
}

unsigned __stdcall CRenderLoop::ThreadEntry(void* pThis)
{
    CRenderLoop* pLoop = static_cast<CRenderLoop*>(pThis);
    pLoop->Run();
    // Last: from here the window may tear down what the thread used.
    *pLoop->m_flags.pRunning = 0;
    return 0;
}

template <class Fn> void CRenderLoop::ForEachTarget(Fn fn)
{
    fn(m_targets.front());
    // Only further engines swap: the first keeps the process-wide state as it is.
    for (size_t i = 1; i < m_targets.size(); ++i)
    {
        SwapEngineGlobals(m_targets[i].globals);
        fn(m_targets[i]);
        SwapEngineGlobals(m_targets[i].globals);
    }
}

void CRenderLoop::Run()
{
    // Windows ends a wait at the next tick of its timer, 15.6 ms apart unless a program asks
    // for finer ones: 25 ms waits would come out at 31 ms, and the fire short of 40 frames.
    const bool bFineTimer = ::timeBeginPeriod(TIMER_RESOLUTION_MILLISECONDS) == TIMERR_NOERROR;
    for (STarget& target : m_targets)
        target.pOutput->OnThreadStart();
    // Frames are due on a fixed schedule, so that a wait that ends a little late does not
    // lower the rate; a frame that took its whole period, or a hold, is followed at once by
    // the next and the schedule starts again from there.
    long long nDue = NowMs();
    bool bHoldShown = false; // since the hold began, or this thread did
    while (*m_flags.pStop == 0)
    {
        // The number first: what this pass does answers every request made before it.
        const uint32_t nRequest = m_nRequested;
        const bool bHold = *m_flags.pPause != 0;
        const bool bPark = m_bPark != 0;
        if (bHold && !bHoldShown)
        {
            // In place of the frame that was due; at once, too, when the hold begins parked.
            ForEachTarget(
                [&](STarget& target)
                {
                    if (!bPark)
                        target.pEngine->Step();
                    target.pOutput->ShowHold();
                });
            bHoldShown = true;
        }
        else if (!bHold && !bPark)
        {
            ForEachTarget([&](STarget& target) { DrawFrame(target); });
            ++m_nFrameCount;
        }
        bHoldShown = bHold && bHoldShown;
        *m_flags.pPaused = bHold ? 1 : 0;
        m_nAnswered = nRequest;
        ::SetEvent(m_hAnswered);
        if (bHold || bPark)
        {
            WaitAwhile(INFINITE);
            nDue = NowMs();
            continue;
        }
        nDue += FRAME_MILLISECONDS;
        long long nNow = NowMs();
        if (nDue < nNow)
            nDue = nNow;
        for (; nNow < nDue && *m_flags.pStop == 0; nNow = NowMs())
            WaitAwhile(static_cast<DWORD>(nDue - nNow));
    }
    *m_flags.pPaused = 0;
    for (STarget& target : m_targets)
        target.pOutput->OnThreadEnd();
    if (bFineTimer)
        ::timeEndPeriod(TIMER_RESOLUTION_MILLISECONDS);
}

void CRenderLoop::DrawFrame(STarget& target)
{
    if (!target.pEngine->Step())
        return;
    ShowEngineFrame(*target.pEngine, *target.pOutput, target.warmRows);
}

void CRenderLoop::WaitAwhile(DWORD nMilliseconds)
{
    // Between frames, a look at the queue and the wake event without waiting, then a plain
    // sleep: the look is what makes Wine put the window's drawing on the screen, and the sleep,
    // unlike a wait on an event, costs Wine's server no round trip. A wake is seen at the next
    // frame at the latest.
    const DWORD dwLook = nMilliseconds == INFINITE ? INFINITE : 0;
    const DWORD dwResult = ::MsgWaitForMultipleObjects(1, &m_hWake, FALSE, dwLook, QS_ALLINPUT);
    if (dwResult == WAIT_TIMEOUT)
        ::Sleep(nMilliseconds);
    if (dwResult != WAIT_OBJECT_0 + 1)
        return;
    // The thread owns no window; whatever reaches its queue is dropped so the next wait waits.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
}
