#pragma once

#include "SettingChoices.h"

// The choice a stored value stands for; a value no version wrote means the default.
FireSizeChoice FireSizeFromValue(int nValue);

struct FrameSize
{
    int nWidth;
    int nHeight;

    bool operator==(const FrameSize& other) const
    {
        return nWidth == other.nWidth && nHeight == other.nHeight;
    }
};

// The largest size at most CLASSIC_MAX_WIDTH wide with the aspect ratio of a screen, rounded
// to whole pixels (1920x1080 gives 1024x576). The fire's look was made at this width: its
// seed line and the height its flames climb do not grow with the screen. Screens no wider
// keep their size; every result is at least 1x1 for a screen of at least 1x1.
constexpr int CLASSIC_MAX_WIDTH = 1024;
FrameSize ClassicSize(int nScreenWidth, int nScreenHeight);

// The engine's size for a screen under a choice.
FrameSize EngineSizeFor(FireSizeChoice choice, int nScreenWidth, int nScreenHeight);
