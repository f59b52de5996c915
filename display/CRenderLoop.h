#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

class CVulkara;
class IFrameOutput;

// The handshakes of the two animated windows, kept process-wide because one saver window and
// one preview window at most exist at a time and other code watches them. Each flag has one
// writer at a time and each side stores its own flag before reading the other's, so they are
// sequentially consistent.
extern std::atomic<int> g_bStopRendering;       // the saver's thread leaves before its next frame
extern std::atomic<int> g_bRenderThreadRunning; // 1 from the start until it has left its loop
extern std::atomic<int> g_bPauseRendering;      // hold after the current frame (a dialog is up)
extern std::atomic<int> g_bRenderingPaused;     // the saver's thread holds
extern std::atomic<int> g_bStopPreview;         // the preview's thread leaves
extern std::atomic<int> g_bPreviewRunning;      // 1 from the start until it has left its loop

// One animating thread: it starts it, paces it to one frame per FRAME_MILLISECONDS, holds it
// for a dialog and stops it, waiting on its handle. Each frame is the engine's Step, then its
// Render into the output; a frame whose Step fails is not drawn, on every output, since the
// engine then has nothing consistent to show. Between frames the thread waits for messages
// rather than sleeping: under Wine a window's drawing reaches the X server only when a thread
// of the process waits for messages.
class CRenderLoop
{
public:
    static constexpr int FRAME_MILLISECONDS = 25;

    // The four flags the loop keeps; null pause flags: the loop's own (nobody else reads them).
    struct SFlags
    {
        std::atomic<int>* pStop;
        std::atomic<int>* pRunning;
        std::atomic<int>* pPause;
        std::atomic<int>* pPaused;
    };
    static const SFlags SAVER_FLAGS;
    static const SFlags PREVIEW_FLAGS;

    explicit CRenderLoop(const SFlags& flags);
    ~CRenderLoop(); // stops the thread
    CRenderLoop(const CRenderLoop&) = delete;
    CRenderLoop& operator=(const CRenderLoop&) = delete;

    // Starts the thread on the engine and the output, which must outlive it. The flags are set
    // before it runs, so that a stop or a hold asked for before it has run is not lost. FALSE
    // when it cannot start; the running flag is then 0.
    BOOL Start(CVulkara& engine, IFrameOutput& output);
    // Asks the thread to leave and waits until it has ended. Does nothing when none runs.
    void Stop();
    // Asks the thread to hold after its current frame and returns once it holds (or has ended).
    void Hold();
    // Lets a holding thread go on.
    void Release();

    bool IsStarted() const { return m_hThread != nullptr; }

private:
    static unsigned __stdcall ThreadEntry(void* pThis);
    void Run();
    void DrawFrame();
    // Waits for the wake event, or messages, until nMilliseconds have passed.
    void WaitAwhile(DWORD nMilliseconds);

    SFlags m_flags;
    std::atomic<int> m_bOwnPause{0};
    std::atomic<int> m_bOwnPaused{0};
    CVulkara* m_pEngine = nullptr;
    IFrameOutput* m_pOutput = nullptr;
    HANDLE m_hThread = nullptr;
    HANDLE m_hWake = nullptr; // set to end a wait early: a stop or a release
    HANDLE m_hHeld = nullptr; // set by the thread when it holds
    std::vector<uint8_t> m_warmRows;
};
