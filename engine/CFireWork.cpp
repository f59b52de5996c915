#include "CFireWork.h"

#include "Random.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace
{
constexpr int ROCKET_HEAT = 125;
constexpr int BURST_HEAT = 166;
constexpr int GRAVITY_PERIOD = 5; // gravity pulls once every fifth step
constexpr int ROCKET_COOLING = 5;
constexpr int FRAGMENT_COOLING = 15;
constexpr int BURST_SPEED_RANGE = 15; // -7..7 per axis
constexpr int BURST_SPEED_OFFSET = 7;
constexpr int BURST_RADIUS_MIN = 8;
constexpr int BURST_RADIUS_RANGE = 5;
constexpr int BURST_LIFT = 3; // fragments start with an upward push
} // namespace

bool CFireWork::Launch(CVulkara& engine, int x, int y, int dx, int dy, int nFuse, int nCount)
{
    // The rocket itself is ball 0, so there is always at least one ball.
    nCount = std::max(1, nCount);
    m_nFuse = nFuse;
    m_balls.clear();
    try
    {
        m_balls.reserve(static_cast<size_t>(nCount));
    }
    catch (const std::bad_alloc&)
    {
        std::vector<CFireBall>().swap(m_balls);
        m_bIdle = true;
        return false;
    }
    for (int i = 0; i < nCount; ++i)
        m_balls.emplace_back(engine);

    CFireBall& rocket = m_balls.front();
    rocket.m_nX = x;
    rocket.m_nY = y;
    rocket.m_nDx = dx;
    rocket.m_nDy = dy;
    rocket.m_nHeat = ROCKET_HEAT;
    m_bIdle = false;
    return true;
}

bool CFireWork::Move(CVulkara& engine)
{
    if (m_nFuse > 0)
        MoveRocket(engine);
    else if (m_nFuse == 0)
        Burst(engine);
    else
        MoveFragments(engine);
    return true;
}

void CFireWork::MoveRocket(CVulkara& engine)
{
    CFireBall& rocket = m_balls.front();
    rocket.m_nX += rocket.m_nDx;
    rocket.m_nY += rocket.m_nDy;
    if (m_nFuse % GRAVITY_PERIOD == 0)
        rocket.m_nDy += 1;
    rocket.m_nHeat = std::max(0, rocket.m_nHeat - Random() % ROCKET_COOLING);
    if (rocket.Draw(engine))
        --m_nFuse;
    else
        End();
}

void CFireWork::Burst(CVulkara& engine)
{
    const int x = m_balls.front().m_nX;
    const int y = m_balls.front().m_nY;
    bool bDrawn = false;
    for (CFireBall& ball : m_balls)
    {
        // Speeds spread over a diamond of random radius.
        int a, b, r;
        do
        {
            a = Random() % BURST_SPEED_RANGE - BURST_SPEED_OFFSET;
            b = Random() % BURST_SPEED_RANGE - BURST_SPEED_OFFSET;
            r = Random() % BURST_RADIUS_RANGE + BURST_RADIUS_MIN;
        } while (std::abs(a) + std::abs(b) > r);
        ball.m_nX = x;
        ball.m_nY = y;
        ball.m_nDx = a;
        ball.m_nDy = b - BURST_LIFT;
        ball.m_nHeat = BURST_HEAT;
        if (ball.Draw(engine))
            bDrawn = true;
    }
    if (bDrawn)
        --m_nFuse;
    else
        End();
}

void CFireWork::MoveFragments(CVulkara& engine)
{
    const bool bGravity = m_nFuse % GRAVITY_PERIOD == 0;
    bool bDrawn = false;
    for (CFireBall& ball : m_balls)
    {
        ball.m_nX += ball.m_nDx;
        ball.m_nY += ball.m_nDy;
        if (bGravity)
            ball.m_nDy += 1;
        ball.m_nHeat = std::max(0, ball.m_nHeat - Random() % FRAGMENT_COOLING);
        if (ball.Draw(engine))
            bDrawn = true;
    }
    if (bDrawn)
        --m_nFuse;
    else
        End();
}

void CFireWork::End()
{
    m_bIdle = true;
    --m_nFuse;
}
