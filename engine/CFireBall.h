#pragma once

class CVulkara;

// A glowing 9 x 9 blob: a free fireball wandering with pulsing brightness, a firework's
// rocket, or one of its burst fragments.
class CFireBall
{
public:
    // Random position and speed inside the engine's frame, heat 0.
    explicit CFireBall(CVulkara& engine);

    // Free fireballs only: bounce off the edges, wander and pulse.
    bool Move(CVulkara& engine);
    // Adds the sprite scaled by the heat; false (nothing drawn) when the sprite would not lie
    // wholly inside the frame above the seed row, or the ball is cold.
    bool Draw(CVulkara& engine) const;

    int m_nX = 0; // sprite's top-left corner
    int m_nY = 0;
    int m_nHeat = 0;
    int m_nDx = 0;
    int m_nDy = 0;
    int m_nDHeat = 0; // change of heat per step
};
