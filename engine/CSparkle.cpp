#include "CSparkle.h"

#include "CVulkara.h"
#include "Random.h"

#include <cstddef>
#include <algorithm>

namespace
{
constexpr int START_HEAT = 245;
constexpr int RESTART_HEAT = 250;
constexpr int RESTART_DY = 20; // the clamp below turns it into the slowest climb
constexpr int TOP_ROW = 2;     // a spark needs its own row and the one above
constexpr int MIN_DY = -10;
constexpr int MAX_DY = -2;
constexpr int MAX_DX = 3;
constexpr int COOLING_RANGE = 6; // heat lost per move: 0..5
} // namespace

CSparkle::CSparkle(CVulkara& engine)
{
    m_nHeat = START_HEAT;
    m_nX = Random() % engine.GetWidth();
    m_nY = engine.GetHeight() - 1;
    m_nDx = static_cast<int8_t>(Random() % 3 - 1);
    m_nDy = static_cast<int8_t>(Random() % 4 - 4);
}

bool CSparkle::Move(CVulkara& engine)
{
    const int nWidth = engine.GetWidth();
    const int nHeight = engine.GetHeight();

    m_nX += m_nDx;
    m_nY += m_nDy;
    if (m_nY < TOP_ROW || m_nHeat <= 0)
    {
        m_nHeat = RESTART_HEAT;
        m_nDx = 0;
        m_nY = nHeight - 1;
        m_nDy = RESTART_DY;
    }
    if (m_nX >= nWidth)
        m_nX = 0;
    if (m_nX < 0)
        m_nX = nWidth - 1;

    int nDy = m_nDy + Random() % 3 - 1;
    int nDx = m_nDx + Random() % 3 - 1;
    m_nDy = static_cast<int8_t>(std::clamp(nDy, MIN_DY, MAX_DY));
    m_nDx = static_cast<int8_t>(std::clamp(nDx, -MAX_DX, MAX_DX));

    m_nHeat = std::max(0, m_nHeat - Random() % COOLING_RANGE);
    return true;
}

bool CSparkle::Draw(CVulkara& engine) const
{
    uint8_t* pAbove = engine.GetFlameField().WriteArea(m_nX, m_nY - 1, 1, 2);
    const uint8_t nHeat = static_cast<uint8_t>(m_nHeat);
    pAbove[0] = nHeat;
    pAbove[engine.GetWidth()] = nHeat;
    return true;
}
