#include "CRenderLoop.h"

#include "CVulkara.h"
#include "IFrameOutput.h"

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
}

CRenderLoop::~CRenderLoop()
{
    Stop();
}

BOOL CRenderLoop::Start(CVulkara& engine, IFrameOutput& output)
{
    if (m_hThread != nullptr)
        return FALSE;
    m_pEngine = &engine;
    m_pOutput = &output;
    m_warmRows.assign(static_cast<size_t>(engine.GetHeight()), 1);
    m_hWake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hHeld = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);

    // The thread counts as running from here, so that a stop or hold asked for before it has
    // executed anything still waits for it.
    *m_flags.pStop = 0;
    *m_flags.pPause = 0;
    *m_flags.pPaused = 0;
    *m_flags.pRunning = 1;
    if (m_hWake != nullptr && m_hHeld != nullptr)
        m_hThread = reinterpret_cast<HANDLE>(
            ::_beginthreadex(nullptr, 0, &CRenderLoop::ThreadEntry, this, 0, nullptr));
    if (m_hThread != nullptr)
        return TRUE;
    *m_flags.pRunning = 0;
    Stop(); // closes the events
    return FALSE;
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
    for (HANDLE* pEvent : {&m_hWake, &m_hHeld})
    {
        if (*pEvent != nullptr)
            ::CloseHandle(*pEvent);
        *pEvent = nullptr;
    }
}

void CRenderLoop::Hold()
{
    if (m_hThread == nullptr || *m_flags.pPause != 0)
        return;
    *m_flags.pPause = 1;
    // A thread that has ended cannot acknowledge: its handle ends the wait too.
    const HANDLE aHandles[] = {m_hHeld, m_hThread};
    ::WaitForMultipleObjects(2, aHandles, FALSE, INFINITE);
}

void CRenderLoop::Release()
{
    if (m_hThread == nullptr || *m_flags.pPause == 0)
        return;
    *m_flags.pPause = 0;
    ::SetEvent(m_hWake);
}

unsigned __stdcall CRenderLoop::ThreadEntry(void* pThis)
{
    CRenderLoop* pLoop = static_cast<CRenderLoop*>(pThis);
    pLoop->Run();
    // Last: from here the window may tear down what the thread used.
    *pLoop->m_flags.pRunning = 0;
    return 0;
}

void CRenderLoop::Run()
{
    m_pOutput->OnThreadStart();
    // Frames are due on a fixed schedule, so that a wait that ends a little late does not
    // lower the rate; a frame that took its whole period, or a hold, is followed at once by
    // the next and the schedule starts again from there.
    long long nDue = NowMs();
    while (*m_flags.pStop == 0)
    {
        DrawFrame();
        if (*m_flags.pPause != 0)
        {
            *m_flags.pPaused = 1;
            ::SetEvent(m_hHeld);
            while (*m_flags.pPause != 0 && *m_flags.pStop == 0)
                WaitAwhile(INFINITE);
            *m_flags.pPaused = 0;
        }
        nDue += FRAME_MILLISECONDS;
        long long nNow = NowMs();
        if (nDue < nNow)
            nDue = nNow;
        for (; nNow < nDue && *m_flags.pStop == 0; nNow = NowMs())
            WaitAwhile(static_cast<DWORD>(nDue - nNow));
    }
    m_pOutput->OnThreadEnd();
}

void CRenderLoop::DrawFrame()
{
    if (!m_pEngine->Step())
        return;
    if (*m_flags.pPause != 0)
    {
        m_pOutput->ShowHold();
        return;
    }
    const CFlameField& field = m_pEngine->GetFlameField();
    for (size_t y = 0; y < m_warmRows.size(); ++y)
        m_warmRows[y] = field.IsRowWarm(static_cast<int>(y)) ? 1 : 0;
    uint8_t* pDest = m_pOutput->BeginFrame(m_warmRows.data(), field.GetHotChunks());
    if (pDest != nullptr)
        m_pOutput->EndFrame(m_pEngine->Render(pDest));
}

void CRenderLoop::WaitAwhile(DWORD nMilliseconds)
{
    if (::MsgWaitForMultipleObjects(1, &m_hWake, FALSE, nMilliseconds, QS_ALLINPUT) !=
        WAIT_OBJECT_0 + 1)
        return;
    // The thread owns no window; whatever reaches its queue is dropped so the next wait waits.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
}
