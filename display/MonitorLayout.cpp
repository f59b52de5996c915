#include "MonitorLayout.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace
{
// Larger than any monitor made, small enough that sums of coordinates cannot overflow.
constexpr long MAX_MONITOR_EXTENT = 1 << 16;
constexpr long MAX_MONITOR_ORIGIN = 1 << 20;

// Reads an unsigned decimal number at pos; false when there is none or it exceeds nMax.
bool ReadNumber(const std::string& strText, size_t& pos, long nMax, long& nValue)
{
    const size_t nStart = pos;
    nValue = 0;
    while (pos < strText.size() && std::isdigit(static_cast<unsigned char>(strText[pos])))
    {
        nValue = nValue * 10 + (strText[pos] - '0');
        if (nValue > nMax)
            return false;
        ++pos;
    }
    return pos > nStart;
}

// Reads +N, -N or +-N at pos.
bool ReadOrigin(const std::string& strText, size_t& pos, long& nValue)
{
    bool bNegative = false;
    if (pos < strText.size() && strText[pos] == '+')
        ++pos;
    else if (pos >= strText.size() || strText[pos] != '-')
        return false;
    if (pos < strText.size() && strText[pos] == '-')
    {
        bNegative = true;
        ++pos;
    }
    if (!ReadNumber(strText, pos, MAX_MONITOR_ORIGIN, nValue))
        return false;
    if (bNegative)
        nValue = -nValue;
    return true;
}

bool ReadMonitor(const std::string& strText, size_t& pos, ScreenRect& rect)
{
    long nWidth = 0, nHeight = 0, nLeft = 0, nTop = 0;
    if (!ReadNumber(strText, pos, MAX_MONITOR_EXTENT, nWidth) || nWidth == 0)
        return false;
    if (pos >= strText.size() || (strText[pos] != 'x' && strText[pos] != 'X'))
        return false;
    ++pos;
    if (!ReadNumber(strText, pos, MAX_MONITOR_EXTENT, nHeight) || nHeight == 0)
        return false;
    if (!ReadOrigin(strText, pos, nLeft) || !ReadOrigin(strText, pos, nTop))
        return false;
    rect = {static_cast<int>(nLeft), static_cast<int>(nTop), static_cast<int>(nWidth),
            static_cast<int>(nHeight)};
    return true;
}
} // namespace

MultiMonitorChoice MultiMonitorChoiceFromValue(int nValue)
{
    switch (nValue)
    {
    case MULTI_MONITOR_MAIN_ONLY:
        return MULTI_MONITOR_MAIN_ONLY;
    case MULTI_MONITOR_SPAN:
        return MULTI_MONITOR_SPAN;
    default:
        return MULTI_MONITOR_FIRE_ON_EVERY;
    }
}

ScreenRect BoundingRect(const std::vector<ScreenRect>& monitors)
{
    int nLeft = INT_MAX, nTop = INT_MAX, nRight = INT_MIN, nBottom = INT_MIN;
    for (const ScreenRect& rect : monitors)
    {
        nLeft = std::min(nLeft, rect.nLeft);
        nTop = std::min(nTop, rect.nTop);
        nRight = std::max(nRight, rect.Right());
        nBottom = std::max(nBottom, rect.Bottom());
    }
    return {nLeft, nTop, nRight - nLeft, nBottom - nTop};
}

bool ParseMonitorList(const std::string& strText, std::vector<ScreenRect>& monitors)
{
    monitors.clear();
    std::vector<ScreenRect> parsed;
    size_t pos = 0;
    for (;;)
    {
        ScreenRect rect = {};
        if (!ReadMonitor(strText, pos, rect))
            return false;
        parsed.push_back(rect);
        if (pos == strText.size())
            break;
        if (strText[pos] != ',')
            return false;
        ++pos;
    }
    monitors.swap(parsed);
    return true;
}
