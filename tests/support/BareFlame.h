#pragma once

// The bare flame field: no particles, no desktop overlay, no sound. Tests that look at the
// flames alone set these values on whatever settings they build.

#include "SettingIndex.h"

struct BareFlameValue
{
    SettingIndex nIndex;
    int nValue;
};

inline constexpr BareFlameValue BARE_FLAME[] = {
    {SETTING_SPARKLES_COUNT, 0}, {SETTING_FIREBALL_COUNT, 0},   {SETTING_FIREWORK_COUNT, 0},
    {SETTING_FADE_SCREEN, 0},    {SETTING_BACKGROUND_SOUND, 0},
};
