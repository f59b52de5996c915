// The render loop on a real engine with an output that records what it is asked: the order of
// start, hold, park and stop, on every interleaving of them.
#include "CFrameSettings.h"
#include "CRenderLoop.h"
#include "CSaverSettings.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "IFrameOutput.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
const int kWidth = 64;
const int kHeight = 48;

// Counts the loop's calls and notes the threads they come on; a frame may be made slow.
class CRecordingOutput : public IFrameOutput
{
public:
    void OnThreadStart() override
    {
        m_dwStartThread = ::GetCurrentThreadId();
        m_bShowingHold = false;
    }
    void OnThreadEnd() override
    {
        m_dwEndThread = ::GetCurrentThreadId();
        ++m_nEnded;
    }
    uint8_t* BeginFrame(const uint8_t*, const uint64_t*) override { return m_frame.data(); }
    bool EndFrame(bool bRendered) override
    {
        ::Sleep(m_nFrameMs);
        ++m_nFrames;
        m_bShowingHold = false;
        return bRendered;
    }
    void ShowHold() override
    {
        ++m_nHolds;
        m_bShowingHold = true;
    }

    std::vector<uint8_t> m_frame = std::vector<uint8_t>(kWidth * kHeight);
    DWORD m_nFrameMs = 0;
    std::atomic<DWORD> m_dwStartThread{0};
    std::atomic<DWORD> m_dwEndThread{0};
    std::atomic<int> m_nEnded{0};
    std::atomic<int> m_nFrames{0};
    std::atomic<int> m_nHolds{0};
    std::atomic<bool> m_bShowingHold{false}; // the last thing shown, since the thread started
};

bool InitEngine(CVulkara& engine)
{
    CSaverSettings settings;
    for (int nIndex : {SETTING_SPARKLES_COUNT, SETTING_FIREWORK_COUNT, SETTING_FADE_SCREEN,
                       SETTING_BACKGROUND_SOUND})
        settings.SetInt(nIndex, 0);
    return engine.Init(CFrameSettings(settings, kWidth, kHeight));
}

class RenderLoop : public testing::Test
{
protected:
    CRenderLoop::SFlags Flags() { return {&m_bStop, &m_bRunning, &m_bPause, &m_bPaused}; }

    CVulkara m_engine;
    bool m_bEngineReady = InitEngine(m_engine);
    CRecordingOutput m_output;
    std::atomic<int> m_bStop{0}, m_bRunning{0}, m_bPause{0}, m_bPaused{0};
};

TEST_F(RenderLoop, AStopBeforeTheThreadRunsIsKeptAndWaitedFor)
{
    ASSERT_TRUE(m_bEngineReady);
    m_bStop = 1; // left over from an earlier loop: a new start clears it
    for (int i = 0; i < 10; ++i)
    {
        CRenderLoop loop(Flags());
        ASSERT_TRUE(loop.Start(m_engine, m_output));
        EXPECT_EQ(m_bRunning.load(), 1) << i;
        loop.Stop();
        // Returned only once the thread had left: its last call is made and its flag down.
        EXPECT_EQ(m_output.m_nEnded.load(), i + 1);
        EXPECT_EQ(m_bRunning.load(), 0);
        EXPECT_EQ(m_output.m_dwEndThread.load(), m_output.m_dwStartThread.load());
        EXPECT_NE(m_output.m_dwEndThread.load(), ::GetCurrentThreadId());
    }
}

TEST_F(RenderLoop, StopWaitsForTheFrameInProgress)
{
    ASSERT_TRUE(m_bEngineReady);
    m_output.m_nFrameMs = 150;
    CRenderLoop loop(Flags());
    ASSERT_TRUE(loop.Start(m_engine, m_output));
    ASSERT_TRUE(PumpUntil([&] { return m_output.m_nFrames.load() >= 1; }, 3000));
    loop.Stop();
    EXPECT_EQ(m_output.m_nEnded.load(), 1);
    EXPECT_EQ(m_bRunning.load(), 0);
    loop.Stop(); // a second stop has nothing to do
    EXPECT_EQ(m_output.m_nEnded.load(), 1);
}

TEST_F(RenderLoop, AHoldAskedBeforeTheFirstFrameParksTheThreadUntilReleased)
{
    ASSERT_TRUE(m_bEngineReady);
    CRenderLoop loop(Flags());
    ASSERT_TRUE(loop.Start(m_engine, m_output));
    loop.Hold();
    EXPECT_EQ(m_bPause.load(), 1);
    EXPECT_EQ(m_bPaused.load(), 1);
    EXPECT_EQ(m_output.m_nHolds.load(), 1);
    const int nParkedAt = m_output.m_nFrames.load();
    PumpMessagesFor(200);
    EXPECT_EQ(m_output.m_nFrames.load(), nParkedAt);

    loop.Release();
    EXPECT_TRUE(PumpUntil([&] { return m_output.m_nFrames.load() > nParkedAt + 2; }, 3000));
    EXPECT_EQ(m_bPause.load(), 0);
    EXPECT_EQ(m_bPaused.load(), 0);

    // A stop while holding still ends the thread.
    loop.Hold();
    loop.Stop();
    EXPECT_EQ(m_bRunning.load(), 0);
    loop.Hold(); // nothing runs: returns at once
    EXPECT_EQ(m_output.m_nEnded.load(), 1);
}

// The hold belongs to the loop: a start while it stands draws no frame and shows the hold. A
// hold that begins while the thread is parked is shown at once.
TEST_F(RenderLoop, AHoldOutlastsARestartAndIsShownAtOnceWhenParked)
{
    ASSERT_TRUE(m_bEngineReady);
    CRenderLoop loop(Flags());
    ASSERT_TRUE(loop.Start(m_engine, m_output));
    loop.Hold();
    loop.Stop();
    const int nFrames = m_output.m_nFrames.load();
    m_output.m_bShowingHold = false;
    ASSERT_TRUE(loop.Start(m_engine, m_output));
    EXPECT_TRUE(PumpUntil([&] { return m_output.m_bShowingHold.load(); }, 3000));
    PumpMessagesFor(200);
    EXPECT_EQ(m_output.m_nFrames.load(), nFrames);
    EXPECT_EQ(m_bPaused.load(), 1);
    loop.Release();
    EXPECT_TRUE(PumpUntil([&] { return m_output.m_nFrames.load() > nFrames; }, 3000));

    loop.Park();
    EXPECT_FALSE(m_output.m_bShowingHold.load());
    loop.Hold();
    EXPECT_TRUE(m_output.m_bShowingHold.load());
}

// Calls in a random order, as fast as one thread makes them, with the process on one processor,
// so that the loop's thread runs only where the calls and the scheduler let it: every call
// returns before the deadline, a hold or a park that has returned keeps every frame off the
// screen until it is lifted, and a hold that has returned is shown, even one that began parked
// or before a start. A fault found is noted and the calls go on, so that a hang still shows.
class CHammer
{
public:
    explicit CHammer(unsigned nSeed) : m_random(nSeed) {}
    bool Init() { return InitEngine(m_engine); }
    static DWORD WINAPI Entry(void* pThis)
    {
        static_cast<CHammer*>(pThis)->Run();
        return 0;
    }

    static constexpr int CALLS = 4000;
    static constexpr DWORD CALLS_MILLISECONDS = 3000; // fewer calls when a slow machine is slower
    CVulkara m_engine;
    CRecordingOutput m_output;
    std::string m_strFault;
    std::atomic<int> m_nCalls{0};
    std::atomic<const char*> m_pszCall{""}; // the call in progress or last made

private:
    enum ECall
    {
        HOLD,
        PARK,
        RELEASE,
        UNPARK,
        STOP,
        START,
        YIELD
    };
    static constexpr const char* NAMES[] = {"Hold", "Park",  "Release",       "Unpark",
                                            "Stop", "Start", "SwitchToThread"};
    // How often each call comes: the hold most, as the password dialog makes it.
    static constexpr ECall MIX[] = {HOLD,    HOLD,    HOLD,    HOLD,   HOLD,   PARK, PARK,  RELEASE,
                                    RELEASE, RELEASE, RELEASE, UNPARK, UNPARK, STOP, START, YIELD};

    void Run()
    {
        const DWORD dwStart = ::GetTickCount();
        bool bStarted = false, bHeld = false, bParked = false;
        int nStill = -1; // the frames shown when a hold or a park returned, while one stands
        for (int i = 0; i < CALLS && ::GetTickCount() - dwStart < CALLS_MILLISECONDS; ++i)
        {
            if (nStill >= 0 && m_output.m_nFrames.load() != nStill)
                Fault("a frame was drawn while held or parked");
            const ECall call = MIX[m_random() % (sizeof(MIX) / sizeof(MIX[0]))];
            m_pszCall = NAMES[call];
            switch (call)
            {
            case HOLD:
                m_loop.Hold();
                bHeld = true;
                break;
            case PARK:
                m_loop.Park();
                bParked = true;
                break;
            case RELEASE:
                m_loop.Release();
                bHeld = false;
                break;
            case UNPARK:
                m_loop.Unpark();
                bParked = false;
                break;
            case STOP:
                m_loop.Stop();
                bStarted = false;
                break;
            case START:
                bStarted = m_loop.Start(m_engine, m_output) || bStarted;
                break;
            case YIELD:
                ::SwitchToThread();
                break;
            }
            ++m_nCalls;
            const bool bAnswered = call == HOLD || call == PARK; // they wait for the thread
            if (bAnswered)
            {
                nStill = m_output.m_nFrames.load();
                if (bStarted && bHeld && !m_output.m_bShowingHold.load())
                    Fault("a hold returned before it was shown");
            }
            if (!bHeld && !bParked)
                nStill = -1;
        }
        // Lifted, the frames flow again.
        m_loop.Release();
        m_loop.Unpark();
        const int nFrames = m_output.m_nFrames.load();
        if (!bStarted && !m_loop.Start(m_engine, m_output))
            return Fault("no start");
        for (DWORD dwWait = ::GetTickCount(); m_output.m_nFrames.load() <= nFrames;)
            if (::GetTickCount() - dwWait > 3000)
                return Fault("no frames after the last release");
            else
                ::Sleep(10);
        m_loop.Stop();
    }
    void Fault(const char* pszWhat)
    {
        if (m_strFault.empty())
            m_strFault = std::string(pszWhat) + " after " + std::to_string(m_nCalls.load()) +
                         " calls, the last " + m_pszCall.load();
    }

    std::mt19937 m_random;
    std::atomic<int> m_bStop{0}, m_bRunning{0};
    CRenderLoop m_loop{{&m_bStop, &m_bRunning, nullptr, nullptr}};
};

TEST_F(RenderLoop, AnswersEveryInterleavingOfItsCallsOnOneProcessor)
{
    constexpr DWORD DEADLINE_MILLISECONDS = 20000;
    const unsigned nSeed = static_cast<unsigned>(::GetTickCount());
    SCOPED_TRACE("seed " + std::to_string(nSeed));
    // Left to the process if a call never returns: its threads may still use it.
    auto pHammer = std::make_unique<CHammer>(nSeed);
    ASSERT_TRUE(pHammer->Init());

    DWORD_PTR nProcessMask = 0, nSystemMask = 0;
    ASSERT_TRUE(::GetProcessAffinityMask(::GetCurrentProcess(), &nProcessMask, &nSystemMask));
    ASSERT_TRUE(
        ::SetProcessAffinityMask(::GetCurrentProcess(), nProcessMask & (~nProcessMask + 1)));
    HANDLE hThread = ::CreateThread(nullptr, 0, &CHammer::Entry, pHammer.get(), 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    const DWORD dwWait = ::WaitForSingleObject(hThread, DEADLINE_MILLISECONDS);
    ::SetProcessAffinityMask(::GetCurrentProcess(), nProcessMask);
    if (dwWait != WAIT_OBJECT_0)
    {
        ::TerminateThread(hThread, 1);
        ADD_FAILURE() << "no answer within " << DEADLINE_MILLISECONDS << " ms after "
                      << pHammer->m_nCalls.load() << " calls, in " << pHammer->m_pszCall.load()
                      << "; " << pHammer->m_strFault;
        static_cast<void>(pHammer.release());
    }
    else
    {
        EXPECT_EQ(pHammer->m_strFault, "");
        EXPECT_GT(pHammer->m_nCalls.load(), 500); // enough calls to mean something
    }
    ::CloseHandle(hThread);
}

// Further pairs are drawn by the same thread, each engine with its own copy of the process-wide
// state: the first engine alone advances the process's frame count.
TEST_F(RenderLoop, FurtherPairsShareTheThreadAndKeepTheirOwnEngineState)
{
    ASSERT_TRUE(m_bEngineReady);
    CSaverSettings settings;
    settings.SetInt(SETTING_BACKGROUND_SOUND, 0);
    CVulkara second;
    ASSERT_TRUE(second.Init(CFrameSettings(settings, kWidth, kHeight)));
    CRecordingOutput secondOutput;
    CRenderLoop loop(Flags());
    loop.AddTarget(second, secondOutput);
    const int nFrameBefore = g_nFrame;
    ASSERT_TRUE(loop.Start(m_engine, m_output));
    ASSERT_TRUE(PumpUntil([&] { return secondOutput.m_nFrames.load() >= 5; }, 3000));
    loop.Hold();
    EXPECT_EQ(secondOutput.m_dwStartThread.load(), m_output.m_dwStartThread.load());
    EXPECT_EQ(g_nFrame - nFrameBefore, m_output.m_nFrames.load() + m_output.m_nHolds.load());
    EXPECT_GE(loop.GetFrameCount(), 5);

    // A park outlasts a dialog's hold and release; only the unpark lets frames go on.
    loop.Park();
    loop.Release();
    const long nParkedAt = loop.GetFrameCount();
    PumpMessagesFor(200);
    EXPECT_EQ(loop.GetFrameCount(), nParkedAt);
    loop.Unpark();
    EXPECT_TRUE(PumpUntil([&] { return loop.GetFrameCount() > nParkedAt + 2; }, 3000));
    loop.Stop();
    EXPECT_EQ(secondOutput.m_nEnded.load(), 1);
}

} // namespace
