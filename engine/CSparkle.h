#pragma once

#include <cstdint>

class CVulkara;

// A single spark that rises from the bottom edge, wobbles and fades, and starts again at
// the bottom when it reaches the top or burns out.
class CSparkle
{
public:
    explicit CSparkle(CVulkara& engine);

    bool Move(CVulkara& engine);
    // Sets two vertically adjacent pixels to the heat.
    bool Draw(CVulkara& engine) const;

    int m_nX = 0;
    int m_nY = 0;
    int m_nHeat = 0;
    int8_t m_nDx = 0;
    int8_t m_nDy = 0; // negative is upward
};
