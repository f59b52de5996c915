#pragma once

#include <cstdint>

constexpr int SPRITE_SIZE = 9;

// Intensities of a fireball, scaled by its heat when drawn; 0 is transparent.
extern const uint8_t g_FireBallSprite[SPRITE_SIZE][SPRITE_SIZE];
