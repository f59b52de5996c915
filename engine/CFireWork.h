#pragma once

#include "CFireBall.h"

#include <vector>

class CVulkara;

// A rocket that climbs from the bottom edge and, when its fuse runs out, bursts into
// fragments that fly apart, fall and fade. Idle fireworks are relaunched by the engine.
class CFireWork
{
public:
    CFireWork() = default;

    // Replaces the balls with nCount new ones (at least one), ball 0 being the rocket. False
    // when memory runs out; the firework then stays idle without balls.
    bool Launch(CVulkara& engine, int x, int y, int dx, int dy, int nFuse, int nCount);
    // Moves and draws the rocket or the fragments; ends the firework when nothing is drawn.
    bool Move(CVulkara& engine);

    bool IsIdle() const { return m_bIdle; }
    int GetFuse() const { return m_nFuse; }
    const std::vector<CFireBall>& GetBalls() const { return m_balls; }

private:
    void MoveRocket(CVulkara& engine);
    void Burst(CVulkara& engine);
    void MoveFragments(CVulkara& engine);
    void End();

    std::vector<CFireBall> m_balls; // ball 0 is the rocket until the burst
    int m_nFuse = 0;                // steps to the burst; negative after it
    bool m_bIdle = true;
};
