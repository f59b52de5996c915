#pragma once

// The fixed indices through which ISettingsReader and ISettingsWriter address each setting.
// What each one holds, where it is stored and its default are in SettingsTable.h.
enum SettingIndex
{
    SETTING_XRES = 0,
    SETTING_YRES = 1,
    SETTING_SPARKLES_COUNT = 2,
    SETTING_FIREBALL_COUNT = 3,
    SETTING_FIREWORK_COUNT = 4,
    SETTING_FIREBALL_IN_FIREWORK_MAX = 5,
    SETTING_FIREBALL_IN_FIREWORK_MIN = 6,
    SETTING_FADE_SCREEN = 7,
    SETTING_USE_CURRENT_RES = 8,
    SETTING_BACKGROUND_SOUND = 9,
    SETTING_PASSWORD = 10,
    SETTING_USE_DIRECTX = 11,
    SETTING_SCREENSAVE_USE_PASSWORD = 12,
    SETTING_MULTI_MONITOR = 13,
    SETTING_FIRE_SIZE = 14,

    // One past the highest index.
    SETTING_COUNT
};
