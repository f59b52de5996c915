#pragma once

#include "EngineGlobals.h"

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
// for a dialog, parks it while the display is off and stops it, waiting on its handle. Each
// frame is the engine's Step, then its Render into the output; a frame whose Step fails is not
// drawn, on every output, since the engine then has nothing consistent to show. Further
// (engine, output) pairs, one per other window, are drawn in turn by the same thread: engines
// share process-wide state, which each further engine has a copy of swapped in around its turn.
//
// The hold and the park belong to this object, not to its thread: they outlast a Stop and a
// Start, so that a thread started while a hold stands draws no frame and shows the hold. Every
// Hold and Park is a numbered request; the thread answers the newest one it has read on every
// pass, after acting on the hold and the park as they stood when it read the number, so a caller
// waits only for a pass that began after its own call, whatever came between. The calls are
// made from one thread, the window's.
class CRenderLoop
{
public:
    static constexpr int FRAME_MILLISECONDS = 25;

    // The four flags the loop keeps; null pause flags: the loop's own (nobody else reads them).
    struct SFlags
    {
        std::atomic<int>* pStop;
        std::atomic<int>* pRunning;
        std::atomic<int>* pPause;  // the hold stands
        std::atomic<int>* pPaused; // the thread has answered it and draws nothing
    };
    static const SFlags SAVER_FLAGS;
    static const SFlags PREVIEW_FLAGS;

    explicit CRenderLoop(const SFlags& flags);
    ~CRenderLoop(); // stops the thread
    CRenderLoop(const CRenderLoop&) = delete;
    CRenderLoop& operator=(const CRenderLoop&) = delete;

    // Starts the thread on the engine and the output, which must outlive it; held or parked
    // when a hold or a park stands. A stop or a hold asked for before it has run is not lost.
    // FALSE when it cannot start; the running flag is then 0.
    BOOL Start(CVulkara& engine, IFrameOutput& output);
    // Asks the thread to leave and waits until it has ended. Does nothing when none runs.
    void Stop();
    // Holds the thread (now, or from its start) after its current frame, and returns once it
    // draws no more and shows the hold (or has ended). The hold stands until Release.
    void Hold();
    void Release();
    // Parking is a hold of its own, so that the display coming back does not end the hold of
    // a dialog nor the reverse: the thread draws nothing while parked. Park returns once the
    // thread draws no more (or has ended).
    void Park();
    void Unpark();

    // Another engine and output for the thread to draw after the first pair; only while the
    // thread is not running. Both must outlive the thread.
    void AddTarget(CVulkara& engine, IFrameOutput& output);
    void ClearExtraTargets();

    // Frames the thread has drawn since it was first started (each pass over every pair).
    long GetFrameCount() const { return m_nFrameCount; }

private:
    struct STarget
    {
        CVulkara* pEngine;
        IFrameOutput* pOutput;
        std::vector<uint8_t> warmRows;
        SEngineGlobals globals; // this engine's own state while another engine steps
    };

    static unsigned __stdcall ThreadEntry(void* pThis);
    void Run();
    // Numbers a request and waits until the thread has answered it or has ended.
    void Request();
    // Calls fn(target) for every pair in turn, each further one with its engine's state in.
    template <class Fn> void ForEachTarget(Fn fn);
    void DrawFrame(STarget& target);
    // Between frames: a look at the messages and the wake event, then a sleep of
    // nMilliseconds; INFINITE waits for the wake event or a message.
    void WaitAwhile(DWORD nMilliseconds);

    SFlags m_flags;
    std::atomic<int> m_bOwnPause{0};
    std::atomic<int> m_bOwnPaused{0};
    std::atomic<int> m_bPark{0};
    std::atomic<uint32_t> m_nRequested{0}; // the number of the newest Hold or Park
    std::atomic<uint32_t> m_nAnswered{0};  // the newest number the thread has acted on
    std::atomic<long> m_nFrameCount{0};
    std::vector<STarget> m_targets; // the pair Start was given first
    HANDLE m_hThread = nullptr;
    HANDLE m_hWake = nullptr;     // set to end a wait early: a stop, a request or a lifting
    HANDLE m_hAnswered = nullptr; // set by the thread after each answer
};
