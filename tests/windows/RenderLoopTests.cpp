// The render loop on a real engine with an output that records what it is asked: the order of
// start, hold and stop, and the rows the screen outputs send.
#include "CChangedRows.h"
#include "CDirectDrawOutput.h"
#include "CGdiOutput.h"
#include "CFrameSettings.h"
#include "CRenderLoop.h"
#include "CSaverSettings.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "FlameKernels.h"
#include "FrameRows.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
const int kWidth = 64;
const int kHeight = 48;

// Counts the loop's calls and notes the threads they come on; a frame may be made slow.
class CRecordingOutput : public IFrameOutput
{
public:
    void OnThreadStart() override { m_dwStartThread = ::GetCurrentThreadId(); }
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
        return bRendered;
    }
    void ShowHold() override { ++m_nHolds; }

    std::vector<uint8_t> m_frame = std::vector<uint8_t>(kWidth * kHeight);
    DWORD m_nFrameMs = 0;
    std::atomic<DWORD> m_dwStartThread{0};
    std::atomic<DWORD> m_dwEndThread{0};
    std::atomic<int> m_nEnded{0};
    std::atomic<int> m_nFrames{0};
    std::atomic<int> m_nHolds{0};
};

class RenderLoop : public testing::Test
{
protected:
    RenderLoop()
    {
        CSaverSettings settings;
        for (int nIndex : {SETTING_SPARKLES_COUNT, SETTING_FIREWORK_COUNT, SETTING_FADE_SCREEN,
                           SETTING_BACKGROUND_SOUND})
            settings.SetInt(nIndex, 0);
        m_bEngineReady = m_engine.Init(CFrameSettings(settings, kWidth, kHeight));
    }

    CRenderLoop::SFlags Flags() { return {&m_bStop, &m_bRunning, &m_bPause, &m_bPaused}; }

    CVulkara m_engine;
    bool m_bEngineReady = false;
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

// Rows go out when warm now or warm last frame; the first frame, and one after an invalidation,
// go out whole.
TEST(ChangedRows, SendsRowsWarmNowOrLastTime)
{
    const int nHeight = 6;
    struct Case
    {
        const char* pszWarm; // '1': warm
        bool bInvalidate;
        const char* pszSent;
    };
    const Case cases[] = {
        {"000000", false, "111111"}, // first frame: whole
        {"000000", false, "000000"}, // black and black: nothing
        {"001100", false, "001100"}, //
        {"000100", false, "001100"}, // row 2 turned black: sent once more
        {"000100", false, "000100"}, //
        {"000000", false, "000100"}, //
        {"000000", false, "000000"}, //
        {"100001", true, "111111"},  // invalidated: whole
        {"000000", false, "100001"},
    };
    CChangedRows rows;
    rows.Reset(nHeight);
    int nFrame = 0;
    for (const Case& c : cases)
    {
        std::vector<uint8_t> warm(nHeight);
        for (int y = 0; y < nHeight; ++y)
            warm[y] = c.pszWarm[y] == '1';
        if (c.bInvalidate)
            rows.InvalidateAll();
        const bool bAny = rows.Update(warm.data());
        std::string strSent;
        for (int y = 0; y < nHeight; ++y)
            strSent += rows.IsChanged(y) ? '1' : '0';
        EXPECT_EQ(strSent, c.pszSent) << "frame " << nFrame;
        EXPECT_EQ(bAny, strSent.find('1') != std::string::npos) << "frame " << nFrame;
        ++nFrame;
    }

    // Runs are cut at the band size.
    std::vector<uint8_t> warm = {1, 1, 1, 1, 1, 0};
    rows.InvalidateAll();
    rows.Update(warm.data());
    std::vector<std::pair<int, int>> runs;
    rows.ForEachRun(4, [&](int nTop, int nRows) { runs.emplace_back(nTop, nRows); });
    EXPECT_EQ(runs, (std::vector<std::pair<int, int>>{{0, 4}, {4, 2}}));
}

// By chunks: a chunk goes out when flagged now or last frame, a frame after an invalidation
// goes out whole; rows that are not a whole number of overlay groups also send the first
// chunk under a changed last chunk.
TEST(ChangedRows, SendsChunksWarmNowOrLastTime)
{
    struct Case
    {
        int nWidth;
        const char* pszHot; // per row, '1' for a flagged chunk; rows split by '|'
        bool bInvalidate;
        const char* pszSent;
    };
    const Case cases[] = {
        {200, "0000|0000", false, "1111|1111"}, // first frame: whole
        {200, "0000|0000", false, "0000|0000"},
        {200, "0110|0001", false, "0110|0001"},
        {200, "0100|0000", false, "0110|0001"}, // turned cold: sent once more
        {200, "0100|0000", false, "0100|0000"}, // then not
        {200, "0000|0000", true, "1111|1111"},  // after a hold or a dropped frame: whole
        {130, "000|000", false, "111|111"},
        {130, "001|000", false, "001|100"}, // the group at row 1's start begins in row 0
        {192, "000|000", false, "111|111"},
        {192, "001|000", false, "001|000"},
    };
    CChangedRows rows;
    int nLastWidth = 0;
    int nCase = 0;
    for (const Case& c : cases)
    {
        const std::string strHot = c.pszHot;
        const int nChunks = static_cast<int>(strHot.find('|'));
        const int nHeight = static_cast<int>(strHot.size() + 1) / (nChunks + 1);
        if (c.nWidth != nLastWidth)
            rows.Reset(c.nWidth, nHeight);
        nLastWidth = c.nWidth;
        std::vector<uint64_t> hot(static_cast<size_t>(nHeight), 0); // one word per row here
        for (int y = 0; y < nHeight; ++y)
            for (int k = 0; k < nChunks; ++k)
                if (strHot[static_cast<size_t>(y * (nChunks + 1) + k)] == '1')
                    hot[static_cast<size_t>(y)] |= uint64_t{1} << k;
        if (c.bInvalidate)
            rows.InvalidateAll();
        const bool bAny = rows.UpdateChunks(hot.data());
        std::string strSent;
        for (int y = 0; y < nHeight; ++y)
        {
            for (int k = 0; k < nChunks; ++k)
                strSent += rows.IsChunkChanged(y, k) ? '1' : '0';
            if (y + 1 < nHeight)
                strSent += '|';
        }
        EXPECT_EQ(strSent, c.pszSent) << "case " << nCase;
        EXPECT_EQ(bAny, strSent.find('1') != std::string::npos) << "case " << nCase;
        ++nCase;
    }
}

// Rectangles: the runs of changed rows, each cut at the row limit, hold the union of their
// rows' chunks, runs apart by no more than the gap merged, the last chunk cut at the width.
TEST(ChangedRows, CoversChangedChunksWithFewRectangles)
{
    const int nWidth = 600; // ten chunks, the last of 24 pixels
    CChangedRows rows;
    rows.Reset(nWidth, 5);
    std::vector<uint64_t> hot(5, 0);
    rows.UpdateChunks(hot.data()); // the first frame is whole
    rows.UpdateChunks(hot.data());
    hot = {0b0000000011, 0b0000001000, 0, 0b1000000001, 0b1000000000};
    rows.UpdateChunks(hot.data());
    using Rects = std::vector<std::vector<int>>;
    auto collect = [&](int nMaxRows, int nGap)
    {
        Rects rects;
        rows.ForEachRect(nMaxRows, nGap,
                         [&](int x, int y, int w, int h) {
                             rects.push_back({x, y, w, h});
                         });
        return rects;
    };
    EXPECT_EQ(collect(8, 0),
              (Rects{{0, 0, 128, 2}, {192, 0, 64, 2}, {0, 3, 64, 2}, {576, 3, 24, 2}}));
    EXPECT_EQ(collect(8, 1), (Rects{{0, 0, 256, 2}, {0, 3, 64, 2}, {576, 3, 24, 2}}));
    EXPECT_EQ(collect(1, 9),
              (Rects{{0, 0, 128, 1}, {192, 1, 64, 1}, {0, 3, 600, 1}, {576, 4, 24, 1}}));
}

// The GDI output on a window at the display's own size (no mode change): what it sends, from
// its own bitmap and from the engine's memory, and of a frame of half the size stretched over
// the window, where each chunk covers twice the pixels each way. The frames are drawn as the
// engine draws them, every pixel, with the hot chunk in a colour of its own in each frame.
TEST(GdiOutput, SendsOnlyChangedChunksAndAWholeFrameAfterAHold)
{
    const int nWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int nHeight = ::GetSystemMetrics(SM_CYSCREEN);
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, nWidth, nHeight,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    std::vector<PALETTEENTRY> palette(256);
    const struct
    {
        bool bInPlace;
        int k; // screen pixels an engine pixel, each way
    } cases[] = {{false, 1}, {true, 1}, {true, 2}};
    for (const auto& c : cases)
    {
        const bool bInPlace = c.bInPlace;
        const int k = c.k;
        SCOPED_TRACE(testing::Message() << (bInPlace ? "in place" : "rendered") << ", " << k
                                        << " screen pixels an engine pixel");
        CGdiOutput output;
        const int nFrameWidth = nWidth / k, nFrameHeight = nHeight / k;
        ASSERT_TRUE(k == 1 ? output.Create(hWnd, nWidth, nHeight, palette.data())
                           : output.CreateStretched(hWnd, nFrameWidth, nFrameHeight, nWidth,
                                                    nHeight, palette.data()));
        const int nWords = FlameHotWordsPerRow(nFrameWidth);
        std::vector<uint8_t> warm(nFrameHeight, 0);
        std::vector<uint64_t> hot(static_cast<size_t>(nFrameHeight) * nWords, 0);
        auto setHot = [&](int y, bool bHot)
        {
            hot[static_cast<size_t>(y) * nWords] = bHot ? 2 : 0; // the second chunk
            warm[y] = bHot;
        };
        using Rects = std::vector<std::vector<LONG>>;
        // A rectangle of the frame as the window shows it.
        auto shown = [k](LONG x0, LONG y0, LONG x1, LONG y1) {
            return std::vector<LONG>{k * x0, k * y0, k * x1, k * y1};
        };
        uint8_t nColour = 0;
        std::vector<uint8_t> own(static_cast<size_t>(nFrameWidth) * nFrameHeight);
        auto frame = [&]
        {
            ++nColour;
            auto draw = [&](uint8_t* pBits)
            {
                for (int y = 0; y < nFrameHeight; ++y)
                    for (int x = 0; x < nFrameWidth; ++x)
                        pBits[static_cast<size_t>(y) * nFrameWidth + x] =
                            warm[y] && x >= 64 && x < 128 ? nColour : 0;
            };
            if (bInPlace)
            {
                EXPECT_TRUE(output.ShowsFramesInPlace());
                draw(own.data());
                output.ShowInPlace(own.data(), warm.data(), hot.data());
            }
            else if (uint8_t* pBits = output.BeginFrame(warm.data(), hot.data()))
            {
                draw(pBits);
                EXPECT_TRUE(output.EndFrame(true));
            }
            Rects rects;
            for (const RECT& rc : output.GetLastRects())
                rects.push_back({rc.left, rc.top, rc.right, rc.bottom});
            return rects;
        };
        auto whole = [&]
        {
            const Rects rects = frame();
            int nCovered = 0;
            for (const auto& rc : rects)
            {
                EXPECT_EQ(rc[0], 0);
                EXPECT_EQ(rc[2], nWidth);
                EXPECT_EQ(rc[1], nCovered);
                nCovered = rc[3];
            }
            return nCovered == nHeight;
        };

        EXPECT_TRUE(whole());
        EXPECT_EQ(frame(), Rects{});
        setHot(10, true);
        setHot(11, true);
        EXPECT_EQ(frame(), (Rects{shown(64, 10, 128, 12)}));
        setHot(10, false);
        EXPECT_EQ(frame(), (Rects{shown(64, 10, 128, 12)}));
        setHot(11, false);
        EXPECT_EQ(frame(), (Rects{shown(64, 11, 128, 12)}));
        EXPECT_EQ(frame(), Rects{});
        setHot(20, true);
        EXPECT_EQ(frame(), (Rects{shown(64, 20, 128, 21)}));
        output.ShowHold();
        EXPECT_TRUE(whole());
        output.OnThreadEnd();
    }
    ::DestroyWindow(hWnd);
}

// An 8-bit surface whose rows are wider than the frame: every row lands at the pitch, the bytes
// past the frame's width stay as they were, and a frame with no changed row takes no lock.
TEST(DirectDrawOutput, HonoursThePitch)
{
    LPDIRECTDRAW lpDD = nullptr;
    ASSERT_EQ(::DirectDrawCreate(nullptr, &lpDD, nullptr), DD_OK);
    ASSERT_EQ(lpDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    const int nWidth = 13, nHeight = 5;
    DDSURFACEDESC ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    ddsd.dwWidth = nWidth;
    ddsd.dwHeight = nHeight;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    ddsd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    ddsd.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    ddsd.ddpfPixelFormat.dwRGBBitCount = 8;
    LPDIRECTDRAWSURFACE lpSurface = nullptr;
    ASSERT_EQ(lpDD->CreateSurface(&ddsd, &lpSurface, nullptr), DD_OK);

    // Fill the whole surface, padding included, with a marker.
    DDSURFACEDESC lock = {};
    lock.dwSize = sizeof(lock);
    ASSERT_EQ(lpSurface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
    const long lPitch = lock.lPitch;
    ASSERT_GT(lPitch, nWidth) << "the surface's rows are packed; nothing to test";
    std::memset(lock.lpSurface, 0xEE, static_cast<size_t>(lPitch) * nHeight);
    lpSurface->Unlock(lock.lpSurface);

    {
        CDirectDrawOutput output;
        output.Attach(lpSurface, nWidth, nHeight); // released with the output
        std::vector<uint8_t> warm(nHeight, 1);
        uint8_t* pFrame = output.BeginFrame(warm.data(), nullptr);
        ASSERT_NE(pFrame, nullptr);
        for (int i = 0; i < nWidth * nHeight; ++i)
            pFrame[i] = static_cast<uint8_t>(i);
        EXPECT_TRUE(output.EndFrame(true));

        ASSERT_EQ(lpSurface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
        const uint8_t* pSurface = static_cast<const uint8_t*>(lock.lpSurface);
        int nWrong = 0;
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < lPitch; ++x)
                if (pSurface[y * lPitch + x] != (x < nWidth ? y * nWidth + x : 0xEE))
                    ++nWrong;
        EXPECT_EQ(nWrong, 0);
        lpSurface->Unlock(lock.lpSurface);

        // Rows warm last time go once more; then cold frames need no frame at all.
        std::vector<uint8_t> cold(nHeight, 0);
        ASSERT_NE(output.BeginFrame(cold.data(), nullptr), nullptr);
        EXPECT_TRUE(output.EndFrame(true));
        EXPECT_EQ(output.BeginFrame(cold.data(), nullptr), nullptr);
    }
    lpDD->Release();
}
} // namespace
