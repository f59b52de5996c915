#include "CChangedRows.h"

#include <algorithm>

void CChangedRows::Reset(int nHeight)
{
    m_lastWarm.assign(static_cast<size_t>(std::max(nHeight, 0)), 1);
    m_changed.assign(m_lastWarm.size(), 1);
    m_bAll = true;
}

bool CChangedRows::Update(const uint8_t* pWarmRows)
{
    bool bAny = false;
    for (size_t y = 0; y < m_changed.size(); ++y)
    {
        const uint8_t bWarm = pWarmRows[y] != 0 ? 1 : 0;
        m_changed[y] = (m_bAll || bWarm || m_lastWarm[y]) ? 1 : 0;
        m_lastWarm[y] = bWarm;
        bAny = bAny || m_changed[y];
    }
    m_bAll = false;
    return bAny;
}
