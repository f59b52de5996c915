#include "FireSize.h"

#include <algorithm>
#include <cstdint>

FireSizeChoice FireSizeFromValue(int nValue)
{
    return nValue == FIRE_SIZE_CLASSIC ? FIRE_SIZE_CLASSIC : FIRE_SIZE_SCREEN_PIXELS;
}

FrameSize ClassicSize(int nScreenWidth, int nScreenHeight)
{
    if (nScreenWidth <= CLASSIC_MAX_WIDTH)
        return {nScreenWidth, nScreenHeight};
    // Rounded to the nearest row; 64 bits, since a height times the width overflows 32.
    const std::int64_t nHeight =
        (static_cast<std::int64_t>(nScreenHeight) * CLASSIC_MAX_WIDTH + nScreenWidth / 2) /
        nScreenWidth;
    return {CLASSIC_MAX_WIDTH, static_cast<int>(std::max<std::int64_t>(nHeight, 1))};
}

FrameSize EngineSizeFor(FireSizeChoice choice, int nScreenWidth, int nScreenHeight)
{
    if (choice == FIRE_SIZE_CLASSIC)
        return ClassicSize(nScreenWidth, nScreenHeight);
    return {nScreenWidth, nScreenHeight};
}
