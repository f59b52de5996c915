#pragma once

#include "SettingChoices.h"

#include <string>
#include <vector>

// A monitor's area, or a window's, in screen pixels. The origin may be negative: monitors to
// the left of or above the primary one have negative coordinates.
struct ScreenRect
{
    int nLeft;
    int nTop;
    int nWidth;
    int nHeight;

    int Right() const { return nLeft + nWidth; }
    int Bottom() const { return nTop + nHeight; }
    bool operator==(const ScreenRect& other) const
    {
        return nLeft == other.nLeft && nTop == other.nTop && nWidth == other.nWidth &&
               nHeight == other.nHeight;
    }
};

// The choice a stored value stands for; a value no version wrote means the default.
MultiMonitorChoice MultiMonitorChoiceFromValue(int nValue);

// The smallest rectangle that holds every monitor; the monitors must not be empty.
ScreenRect BoundingRect(const std::vector<ScreenRect>& monitors);

// Reads a monitor layout written as WxH+X+Y[,WxH+X+Y...] (the first is the primary; X and Y
// may be negative, written +-X or -X). False, with monitors left empty, for anything else:
// a layout half understood would leave a monitor uncovered.
bool ParseMonitorList(const std::string& strText, std::vector<ScreenRect>& monitors);
