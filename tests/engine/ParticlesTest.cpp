#include "CFireBall.h"
#include "CFireWork.h"
#include "CNativeEnginePlatform.h"
#include "CSparkle.h"
#include "CVulkara.h"
#include "EngineTestSupport.h"
#include "EngineGlobals.h"
#include "FireBallSprite.h"
#include "Random.h"
#include "TestSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

namespace
{
class Particles : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineGlobals();
        SeedRandom(99);
    }

    uint8_t* Flame(CVulkara& engine)
    {
        uint8_t* pFlame = nullptr;
        engine.GetBuffer(0, &pFlame, nullptr);
        return pFlame;
    }

    CNativeEnginePlatform m_platform;
};

bool IsUntouched(const CSparkle& sparkle, int nHeight)
{
    return sparkle.m_nHeat == 245 && sparkle.m_nY == nHeight - 1;
}

TEST_F(Particles, TwoMoreSparklesJoinOnEveryStep)
{
    constexpr int H = 400, COUNT = 9;
    CTestSettings settings(64, H);
    settings.Bare().Set(SETTING_SPARKLES_COUNT, COUNT);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings));
    for (int step = 1; step <= 7; ++step)
    {
        ASSERT_TRUE(engine.Step());
        // Step k moves the first min(2 (k - 1), COUNT) sparkles.
        const int nActive = std::min(2 * (step - 1), COUNT);
        const std::vector<CSparkle>& sparkles = engine.GetSparkles();
        for (int i = 0; i < COUNT; ++i)
            EXPECT_EQ(IsUntouched(sparkles[i], H), i >= nActive)
                << "step " << step << " sparkle " << i;
    }
}

TEST_F(Particles, SparklesWrapAtTheSidesAndRestartAtTheBottom)
{
    constexpr int W = 40, H = 50;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    const struct
    {
        int x, y, dx, dy, heat;
        int nX, nY; // expected position after the move
        bool bRestart;
    } cases[] = {
        {0, 30, -1, -3, 100, W - 1, 27, false},
        {W - 1, 30, 2, -2, 100, 0, 28, false},
        {5, 3, 1, -2, 100, 6, H - 1, true}, // climbs past row 2
        {5, 30, 0, -2, 0, 5, H - 1, true},  // burnt out
    };
    for (const auto& c : cases)
    {
        CSparkle sparkle(engine);
        sparkle.m_nX = c.x;
        sparkle.m_nY = c.y;
        sparkle.m_nDx = static_cast<int8_t>(c.dx);
        sparkle.m_nDy = static_cast<int8_t>(c.dy);
        sparkle.m_nHeat = c.heat;
        ASSERT_TRUE(sparkle.Move(engine));
        EXPECT_EQ(sparkle.m_nX, c.nX);
        EXPECT_EQ(sparkle.m_nY, c.nY);
        EXPECT_GE(sparkle.m_nDx, -3);
        EXPECT_LE(sparkle.m_nDx, 3);
        if (c.bRestart)
        {
            EXPECT_EQ(sparkle.m_nDy, -2);
            EXPECT_GE(sparkle.m_nDx, -1);
            EXPECT_LE(sparkle.m_nDx, 1);
            EXPECT_GT(sparkle.m_nHeat, 244);
        }
        else
        {
            EXPECT_LE(c.heat - sparkle.m_nHeat, 5);
        }

        ASSERT_TRUE(sparkle.Draw(engine));
        EXPECT_EQ(Flame(engine)[sparkle.m_nY * W + sparkle.m_nX], sparkle.m_nHeat);
        EXPECT_EQ(Flame(engine)[(sparkle.m_nY - 1) * W + sparkle.m_nX], sparkle.m_nHeat);
    }
}

TEST_F(Particles, AFireBallAddsItsScaledSpriteClampedAt250)
{
    constexpr int W = 32, H = 24;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    uint8_t* pFlame = Flame(engine);
    std::fill(pFlame, pFlame + W * H, 200);

    CFireBall ball(engine);
    ball.m_nX = W - 10;
    ball.m_nY = H - 10;
    ball.m_nHeat = 250;
    ASSERT_TRUE(ball.Draw(engine));
    for (int y = 0; y < H; ++y)
    {
        for (int x = 0; x < W; ++x)
        {
            const int r = y - ball.m_nY, c = x - ball.m_nX;
            const bool bInside = r >= 0 && r < SPRITE_SIZE && c >= 0 && c < SPRITE_SIZE;
            const int s = bInside ? g_FireBallSprite[r][c] : 0;
            const int nExpected = std::min(250, 200 + s * 250 / 256);
            EXPECT_EQ(pFlame[y * W + x], nExpected) << "row " << y << " column " << x;
        }
    }
    EXPECT_EQ(pFlame[(H - 6) * W + W - 6], 250);       // sprite 255
    EXPECT_EQ(pFlame[(H - 10) * W + W - 10], 200);     // sprite 0: untouched
    EXPECT_EQ(pFlame[(H - 10) * W + W - 8], 200 + 44); // sprite 46
}

TEST_F(Particles, AFireBallOverRandomHeatFollowsTheSpriteRuleCellByCell)
{
    // Any heat, any bytes underneath (up to 255, above the 250 clamp), any column parity.
    constexpr int W = 37, H = 29;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    std::mt19937 random(8);
    const int heats[] = {1, 2, 100, 249, 250, 251, 257, 300, 1000};
    for (int nHeat : heats)
    {
        for (int nPlace = 0; nPlace < 6; ++nPlace)
        {
            uint8_t* pFlame = Flame(engine);
            const std::vector<uint8_t> before = RandomBytes(random, W * (H + 1));
            std::copy(before.begin(), before.end(), pFlame);
            CFireBall ball(engine);
            ball.m_nX = nPlace == 0 ? W - 10 : static_cast<int>(random() % (W - 9));
            ball.m_nY = nPlace == 1 ? H - 10 : static_cast<int>(random() % (H - 9));
            ball.m_nHeat = nHeat;
            ASSERT_TRUE(ball.Draw(engine));
            for (int i = 0; i < W * (H + 1); ++i)
            {
                const int r = i / W - ball.m_nY, c = i % W - ball.m_nX;
                const bool bInside = r >= 0 && r < SPRITE_SIZE && c >= 0 && c < SPRITE_SIZE;
                const int s = bInside ? g_FireBallSprite[r][c] : 0;
                const int nExpected =
                    s == 0 ? before[i] : std::min(250, before[i] + s * nHeat / 256);
                ASSERT_EQ(pFlame[i], nExpected)
                    << "heat " << nHeat << " at " << i % W << ", " << i / W;
            }
        }
    }
}

TEST_F(Particles, AFireBallIsDrawnOnlyWhollyInsideTheFrameAndWhenHot)
{
    constexpr int W = 32, H = 24;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    const struct
    {
        int x, y, heat;
        bool bDrawn;
    } cases[] = {
        {W - 10, H - 10, 100, true},
        {W - 9, 0, 100, false},
        {0, H - 9, 100, false},
        {-1, 0, 100, false},
        {0, -1, 100, false},
        {0, 0, 0, false},
        {0, 0, 1, true},
    };
    for (const auto& c : cases)
    {
        uint8_t* pFlame = Flame(engine);
        std::fill(pFlame, pFlame + W * (H + 1), 0);
        CFireBall ball(engine);
        ball.m_nX = c.x;
        ball.m_nY = c.y;
        ball.m_nHeat = c.heat;
        EXPECT_EQ(ball.Draw(engine), c.bDrawn) << c.x << ", " << c.y << " heat " << c.heat;
        if (!c.bDrawn)
        {
            EXPECT_EQ(std::count(pFlame, pFlame + W * (H + 1), 0), W * (H + 1));
        }
        EXPECT_EQ(std::count(pFlame + W * (H - 1), pFlame + W * (H + 1), 0), 2 * W)
            << "the seed row and the extra row stay clear";
    }
}

TEST_F(Particles, BurstsHaveTheSizeOfAnEqualRangeAndAtLeastOneBall)
{
    const struct
    {
        int nMin, nMax;
        int nBalls;
    } cases[] = {{7, 7, 7}, {1, 1, 1}, {0, 0, 1}, {-5, -5, 1}, {40, 40, 40}};
    for (const auto& c : cases)
    {
        ResetEngineGlobals();
        CTestSettings settings(200, 150);
        settings.Bare()
            .Set(SETTING_FIREWORK_COUNT, 5)
            .Set(SETTING_FIREBALL_IN_FIREWORK_MIN, c.nMin)
            .Set(SETTING_FIREBALL_IN_FIREWORK_MAX, c.nMax);
        CVulkara engine(m_platform);
        ASSERT_TRUE(engine.Init(settings));
        for (int step = 0; step < 120; ++step)
        {
            ASSERT_TRUE(engine.Step());
            for (const CFireWork& fireWork : engine.GetFireWorks())
                ASSERT_EQ(fireWork.GetBalls().size(), static_cast<size_t>(c.nBalls))
                    << c.nMin << ".." << c.nMax;
        }
    }
}

TEST_F(Particles, AFireWorkClimbsBurstsAndEnds)
{
    constexpr int W = 200, H = 200;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    CFireWork fireWork;
    ASSERT_TRUE(fireWork.Launch(engine, 100, 150, 0, -3, 6, 12));
    EXPECT_FALSE(fireWork.IsIdle());
    ASSERT_EQ(fireWork.GetBalls().size(), 12u);
    EXPECT_EQ(fireWork.GetBalls()[0].m_nHeat, 125);

    for (int nFuse = 6; nFuse > 0; --nFuse)
    {
        ASSERT_TRUE(fireWork.Move(engine));
        ASSERT_EQ(fireWork.GetFuse(), nFuse - 1);
    }
    const CFireBall rocket = fireWork.GetBalls()[0];
    ASSERT_TRUE(fireWork.Move(engine)); // the burst
    EXPECT_EQ(fireWork.GetFuse(), -1);
    for (const CFireBall& ball : fireWork.GetBalls())
    {
        EXPECT_EQ(ball.m_nX, rocket.m_nX);
        EXPECT_EQ(ball.m_nY, rocket.m_nY);
        EXPECT_EQ(ball.m_nHeat, 166);
        EXPECT_LE(std::abs(ball.m_nDx) + std::abs(ball.m_nDy + 3), 12);
    }
    int nMoves = 0;
    while (!fireWork.IsIdle() && nMoves < 1000)
    {
        ASSERT_TRUE(fireWork.Move(engine));
        ++nMoves;
    }
    EXPECT_TRUE(fireWork.IsIdle());
    EXPECT_LT(nMoves, 40); // fragments lose up to 14 heat a step from 166
}

TEST_F(Particles, ARocketThatCannotBeDrawnEndsAtOnce)
{
    constexpr int W = 100, H = 100;
    CTestSettings settings(W, H);
    CVulkara engine(m_platform);
    ASSERT_TRUE(engine.Init(settings.Bare()));
    CFireWork fireWork;
    // From the bottom row, a climb of 5 leaves the sprite inside the bottom nine rows.
    ASSERT_TRUE(fireWork.Launch(engine, 50, H - 1, 0, -5, 30, 3));
    ASSERT_TRUE(fireWork.Move(engine));
    EXPECT_TRUE(fireWork.IsIdle());
}
} // namespace
