#include "CFireBall.h"

#include "CVulkara.h"
#include "FireBallSprite.h"
#include "Random.h"

#include <cstddef>
#include <algorithm>

namespace
{
constexpr int MAX_HEAT = 250;
constexpr int MAX_SPEED = 5;
constexpr int MAX_DHEAT = 4;
constexpr int TURN_CHANCE = 3; // one step in three may change a speed
} // namespace

CFireBall::CFireBall(CVulkara& engine)
{
    m_nX = Random() % engine.GetWidth();
    m_nY = Random() % engine.GetHeight();
    m_nDx = Random() % 3 - 1;
    m_nHeat = 0;
    m_nDy = Random() % 3 - 1;
    m_nDHeat = Random() % 5;
}

bool CFireBall::Move(CVulkara& engine)
{
    const int nWidth = engine.GetWidth();
    const int nHeight = engine.GetHeight();

    if (m_nX + m_nDx >= nWidth - SPRITE_SIZE || m_nX + m_nDx < 0)
        m_nDx = -m_nDx;
    if (m_nY + m_nDy >= nHeight - SPRITE_SIZE || m_nY + m_nDy < 0)
        m_nDy = -m_nDy;
    m_nX += m_nDx;
    m_nY += m_nDy;

    if (Random() % TURN_CHANCE == 0)
        m_nDx += Random() % 3 - 1;
    if (Random() % TURN_CHANCE == 0)
        m_nDy += Random() % 3 - 1;
    m_nDx = std::clamp(m_nDx, -MAX_SPEED, MAX_SPEED);
    m_nDy = std::clamp(m_nDy, -MAX_SPEED, MAX_SPEED);

    m_nDHeat += Random() % 5 - 2;
    if (m_nHeat + m_nDHeat > MAX_HEAT || m_nHeat + m_nDHeat < 0)
        m_nDHeat = -m_nDHeat;
    m_nHeat += m_nDHeat;
    m_nDHeat = std::clamp(m_nDHeat, -MAX_DHEAT, MAX_DHEAT);
    return true;
}

bool CFireBall::Draw(CVulkara& engine) const
{
    uint8_t* pFlame = engine.GetFlame();
    const int nWidth = engine.GetWidth();
    const int nHeight = engine.GetHeight();
    if (m_nX < 0 || m_nY < 0 || m_nX >= nWidth - SPRITE_SIZE || m_nY >= nHeight - SPRITE_SIZE ||
        m_nHeat <= 0)
        return false;

    for (int r = 0; r < SPRITE_SIZE; ++r)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(m_nY + r) * nWidth + m_nX;
        for (int c = 0; c < SPRITE_SIZE; ++c)
        {
            const int s = g_FireBallSprite[r][c];
            if (s != 0)
                pRow[c] = static_cast<uint8_t>(std::min(MAX_HEAT, pRow[c] + s * m_nHeat / 256));
        }
    }
    return true;
}
