#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "EngineTestSupport.h"
#include "FlameKernels.h"
#include "Random.h"
#include "TestSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

namespace
{
class Engine : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineGlobals();
        SeedRandom(1234);
    }

    CNativeEnginePlatform m_platform;
};

TEST_F(Engine, InitRefusesFramesTooSmallOrTooLargeAndLeavesNothingBehind)
{
    const struct
    {
        int nWidth, nHeight;
        bool bAccepted;
    } cases[] = {
        {16, 16, true},        {15, 16, false},      {16, 15, false},      {0, 0, false},
        {-640, 480, false},    {640, -480, false},   {17, 1000, true},     {1000, 17, true},
        {65536, 65536, false}, {INT_MAX, 16, false}, {16, INT_MAX, false}, {46341, 46341, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight);
        CTestSettings settings(c.nWidth, c.nHeight);
        settings.Set(SETTING_BACKGROUND_SOUND, 1);
        CNativeEnginePlatform platform;
        {
            CVulkara engine(platform);
            EXPECT_EQ(engine.Init(settings), c.bAccepted);
            uint8_t* pFlame = nullptr;
            engine.GetBuffer(0, &pFlame, nullptr);
            EXPECT_EQ(pFlame != nullptr, c.bAccepted);
            if (!c.bAccepted)
            {
                uint8_t byte = 0;
                EXPECT_FALSE(engine.Step());
                EXPECT_FALSE(engine.Render(&byte));
            }
        }
        // A sound that never started is never stopped.
        EXPECT_EQ(platform.GetPlayCount(), c.bAccepted ? 1 : 0);
        EXPECT_EQ(platform.GetStopCount(), c.bAccepted ? 1 : 0);
    }
}

TEST_F(Engine, NegativeCountsCountAsZero)
{
    CTestSettings settings(64, 48);
    settings.Set(SETTING_SPARKLES_COUNT, -3)
        .Set(SETTING_FIREBALL_COUNT, -1)
        .Set(SETTING_FIREWORK_COUNT, INT_MIN);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings));
    EXPECT_TRUE(engine.GetSparkles().empty());
    EXPECT_TRUE(engine.GetFireBalls().empty());
    EXPECT_TRUE(engine.GetFireWorks().empty());
    EXPECT_TRUE(engine.Step());
}

// Whatever a registry DWORD holds, Init allocates a bounded engine and a step moves a bounded
// number of particles; counts inside the Settings page's ranges are kept as they are.
TEST_F(Engine, StoredCountsOfAnySizeAreBounded)
{
    const int nHuge = INT_MAX;
    const int nMinInt = INT_MIN;
    // The caps are ten times the page's largest values: 10000 sparkles, 500 fireballs, 1000
    // fireworks and bursts of 1500 balls; below zero counts as none, and a burst has one ball
    // at least.
    const struct
    {
        int nSparkles, nFireBalls, nFireWorks, nBurstMin, nBurstMax;
        size_t nKeptSparkles, nKeptFireBalls, nKeptFireWorks, nMostBalls;
    } cases[] = {
        {nHuge, nHuge, nHuge, nHuge, nHuge, 10000, 500, 1000, 1500},
        {1000, 50, 100, 150, 150, 1000, 50, 100, 150}, // the page's largest values, kept
        {nMinInt, nMinInt, nMinInt, nMinInt, nMinInt, 0, 0, 0, 1},
        {nHuge, 0, 100, 16712193, 80, 10000, 0, 100, 1500}, // min above max; 01 02 FF as a DWORD
        {0, 0, nHuge, nMinInt, nHuge, 0, 0, 1000, 1500},
        {-1, nHuge, 3, 255, 10, 0, 500, 3, 255},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nSparkles << " " << c.nFireBalls << " " << c.nFireWorks
                                        << " " << c.nBurstMin << ".." << c.nBurstMax);
        ResetEngineGlobals();
        CTestSettings settings(64, 48);
        settings.Set(SETTING_SPARKLES_COUNT, c.nSparkles)
            .Set(SETTING_FIREBALL_COUNT, c.nFireBalls)
            .Set(SETTING_FIREWORK_COUNT, c.nFireWorks)
            .Set(SETTING_FIREBALL_IN_FIREWORK_MIN, c.nBurstMin)
            .Set(SETTING_FIREBALL_IN_FIREWORK_MAX, c.nBurstMax);
        CVulkara engine(m_platform);
        ASSERT_TRUE(engine.Init(settings));
        EXPECT_EQ(engine.GetSparkles().size(), c.nKeptSparkles);
        EXPECT_EQ(engine.GetFireBalls().size(), c.nKeptFireBalls);
        EXPECT_EQ(engine.GetFireWorks().size(), c.nKeptFireWorks);
        for (int step = 0; step < 3; ++step)
        {
            ASSERT_TRUE(engine.Step());
            for (const CFireWork& fireWork : engine.GetFireWorks())
                ASSERT_LE(fireWork.GetBalls().size(), c.nMostBalls);
        }
    }
}

TEST_F(Engine, SoundPlaysAtInitAndStopsAtDestructionOnlyWhenEnabled)
{
    for (int nEnabled : {0, 1})
    {
        CNativeEnginePlatform platform;
        CTestSettings settings(32, 32);
        settings.Set(SETTING_BACKGROUND_SOUND, nEnabled);
        {
            CVulkara engine(platform);
            ASSERT_TRUE(engine.Init(settings));
            EXPECT_EQ(platform.GetPlayCount(), nEnabled);
            EXPECT_EQ(platform.GetStopCount(), 0);
            engine.Step();
        }
        EXPECT_EQ(platform.GetPlayCount(), nEnabled);
        EXPECT_EQ(platform.GetStopCount(), nEnabled);
    }
}

TEST_F(Engine, DestroyingAnInactiveEngineLeavesTheActiveOne)
{
    CTestSettings settings(32, 32);
    auto pFirst = std::make_unique<CVulkara>(m_platform);
    CVulkara second(m_platform);
    ASSERT_TRUE(pFirst->Init(settings));
    ASSERT_TRUE(second.Init(settings));
    pFirst.reset();
    std::vector<uint8_t> frame(32 * 32);
    EXPECT_TRUE(second.Step());
    EXPECT_TRUE(second.Render(frame.data()));
}

TEST_F(Engine, GetBufferServesFlameAndDesktopAndIgnoresOtherIndices)
{
    CTestSettings settings(40, 20);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings));
    uint8_t* pFlame = nullptr;
    uint8_t* pDesktop = nullptr;
    int size[2] = {0, 0};
    EXPECT_TRUE(engine.GetBuffer(0, &pFlame, size));
    EXPECT_EQ(size[0], 40);
    EXPECT_EQ(size[1], 20);
    EXPECT_TRUE(engine.GetBuffer(1, &pDesktop, nullptr));
    EXPECT_NE(pFlame, nullptr);
    EXPECT_NE(pDesktop, nullptr);
    EXPECT_NE(pFlame, pDesktop);

    uint8_t* pUntouched = pFlame;
    int untouched[2] = {-1, -1};
    EXPECT_TRUE(engine.GetBuffer(2, &pUntouched, untouched));
    EXPECT_TRUE(engine.GetBuffer(-1, &pUntouched, untouched));
    EXPECT_EQ(pUntouched, pFlame);
    EXPECT_EQ(untouched[0], -1);
    EXPECT_EQ(untouched[1], -1);
}

TEST_F(Engine, TheFirstEightFramesOfAFreshEngineHaveNoFlame)
{
    constexpr int W = 96, H = 64;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    std::vector<uint8_t> frame(W * H, 0xff);
    for (int n = 1; n <= 8; ++n)
    {
        ASSERT_TRUE(engine.Step());
        ASSERT_TRUE(engine.Render(frame.data()));
        EXPECT_EQ(std::count(frame.begin(), frame.end(), 0), W * H) << "frame " << n;
    }
    ASSERT_TRUE(engine.Step());
    ASSERT_TRUE(engine.Render(frame.data()));
    EXPECT_LT(std::count(frame.begin(), frame.end(), 0), W * H) << "the ninth frame burns";
}

TEST_F(Engine, PlainRenderCopiesTheFlameRowsAndOverlayComposesEveryRow)
{
    constexpr int W = 33, H = 21; // W * H % 4 == 1
    for (int nFade : {0, 2})
    {
        ResetEngineGlobals();
        CTestSettings settings(W, H);
        settings.Set(SETTING_FADE_SCREEN, nFade);
        m_platform.SetScreen(MakePicture(W, H,
                                         [](int x, int y)
                                         {
                                             return std::array<uint8_t, 3>{
                                                 static_cast<uint8_t>(x * 7),
                                                 static_cast<uint8_t>(y * 11), 200};
                                         }));
        CVulkara engine(m_platform);
        ASSERT_TRUE(engine.Init(settings));
        for (int n = 0; n < 30; ++n)
            ASSERT_TRUE(engine.Step());

        std::vector<uint8_t> frame(W * H + 16, 0xAA);
        ASSERT_TRUE(engine.Render(frame.data()));
        uint8_t* pFlame = nullptr;
        uint8_t* pDesktop = nullptr;
        engine.GetBuffer(0, &pFlame, nullptr);
        engine.GetBuffer(1, &pDesktop, nullptr);
        std::vector<uint8_t> expected(pFlame, pFlame + W * H);
        if (nFade != 0)
            LiteralOverlay(expected.data(), pFlame, pDesktop, W * H);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frame.begin())) << nFade;
        EXPECT_EQ(std::count(frame.begin() + W * H, frame.end(), 0xAA), 16);
        // Without the overlay the frame is the flame field itself, and outputs may take it
        // from there.
        EXPECT_EQ(engine.GetFrameInPlace(), nFade == 0 ? pFlame : nullptr);
    }
}

TEST_F(Engine, TheSparkleGateSaturatesOnAMonthsLongRun)
{
    for (int nFrame : {INT_MAX / 2, INT_MAX / 2 + 1, INT_MAX - 1, INT_MAX})
    {
        CTestSettings settings(64, 64);
        settings.Bare().Set(SETTING_SPARKLES_COUNT, 10);
        CVulkara engine(m_platform);
        ASSERT_TRUE(engine.Init(settings));
        g_nFrame = nFrame;
        ASSERT_TRUE(engine.Step());
        ASSERT_TRUE(engine.Step());
        EXPECT_EQ(g_nFrame.load(), nFrame > INT_MAX - 2 ? INT_MAX : nFrame + 2);
        for (const CSparkle& sparkle : engine.GetSparkles())
            EXPECT_FALSE(sparkle.m_nHeat == 245 && sparkle.m_nY == 63) << "every sparkle moved";
    }
}

TEST_F(Engine, TheSameSeedGivesTheSameFrames)
{
    const auto Run = [this](unsigned int nSeed)
    {
        ResetEngineGlobals();
        SeedRandom(nSeed);
        CTestSettings settings(80, 60);
        CVulkara engine(m_platform);
        EXPECT_TRUE(engine.Init(settings));
        SeedRandom(1);
        std::vector<uint8_t> frame(80 * 60);
        for (int n = 0; n < 40; ++n)
            engine.Step();
        engine.Render(frame.data());
        return frame;
    };
    EXPECT_EQ(Run(5), Run(5));
    EXPECT_NE(Run(5), Run(6));
}

// Many random settings and sizes, narrow and wide; run under the sanitizers this is the
// check that nothing reads or writes outside its buffer.
TEST_F(Engine, RandomSettingsAndSizesRunCleanly)
{
    std::mt19937 random(2024);
    const auto Pick = [&random](int nMin, int nMax)
    { return std::uniform_int_distribution<int>(nMin, nMax)(random); };
    const int sizes[][2] = {{16, 16}, {16, 300}, {700, 16}, {17, 17},   {33, 19},   {63, 40},
                            {64, 17}, {65, 23},  {127, 9},  {1025, 20}, {1280, 18}, {2049, 17}};
    for (int run = 0; run < 60; ++run)
    {
        int nWidth, nHeight;
        if (run < static_cast<int>(std::size(sizes)))
        {
            nWidth = sizes[run][0];
            nHeight = sizes[run][1];
        }
        else
        {
            nWidth = Pick(16, 400);
            nHeight = Pick(16, 200);
        }
        if (nHeight < 16)
            continue;
        const int nFades[] = {0, 1, 2, 3, 100, -3};
        CTestSettings settings(nWidth, nHeight);
        settings.Set(SETTING_SPARKLES_COUNT, Pick(-5, 300))
            .Set(SETTING_FIREBALL_COUNT, Pick(-2, 20))
            .Set(SETTING_FIREWORK_COUNT, Pick(-2, 12))
            .Set(SETTING_FIREBALL_IN_FIREWORK_MIN, Pick(-3, 60))
            .Set(SETTING_FIREBALL_IN_FIREWORK_MAX, Pick(-3, 60))
            .Set(SETTING_FADE_SCREEN, nFades[Pick(0, 5)]);
        SCOPED_TRACE(testing::Message() << "run " << run << ": " << nWidth << " x " << nHeight);

        if (Pick(0, 1) == 1)
            m_platform.SetScreen(MakePicture(Pick(1, 300), Pick(1, 300),
                                             [&](int x, int y)
                                             {
                                                 return std::array<uint8_t, 3>{
                                                     static_cast<uint8_t>(x * 3),
                                                     static_cast<uint8_t>(y),
                                                     static_cast<uint8_t>(x ^ y)};
                                             }));
        else
            m_platform.ClearScreen();

        g_nFrame = Pick(0, 3) == 0 ? INT_MAX - Pick(0, 3) : Pick(0, 100);
        CVulkara engine(m_platform);
        ASSERT_TRUE(engine.Init(settings));
        PaletteEntry aPalette[PALETTE_SIZE];
        ASSERT_TRUE(engine.LoadPalette(aPalette));
        std::vector<uint8_t> frame(static_cast<size_t>(nWidth) * nHeight);
        const int nSteps = Pick(10, 80);
        const CFlameField& field = engine.GetFlameField();
        for (int n = 0; n < nSteps; ++n)
        {
            ASSERT_TRUE(engine.Step());
            ASSERT_TRUE(engine.Render(frame.data()));
            // A chunk holding heat but flagged cold would be skipped by the next propagation.
            ASSERT_EQ(FindUnflaggedHeat(field.GetBuffer(), field.GetHotChunks(), nWidth, nHeight),
                      "")
                << "after step " << n;
        }
        uint8_t* pFlame = nullptr;
        engine.GetBuffer(0, &pFlame, nullptr);
        for (int x = 0; x < nWidth; ++x)
            ASSERT_EQ(pFlame[x], pFlame[nWidth + x]) << "row 0 follows row 1";
        ASSERT_EQ(std::count(pFlame + nWidth * nHeight, pFlame + nWidth * (nHeight + 1), 0), nWidth)
            << "the extra row stays zero";
    }
}
} // namespace
