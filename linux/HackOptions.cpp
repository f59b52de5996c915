#include "HackOptions.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace
{
const char SYNOPSIS[] = "usage: vulkara [-root | -window-id ID] [-geometry WxH+X+Y] "
                        "[-display NAME] [options]";

// The option's row, or null; sName without its dash or dashes.
const HackOptionRow* FindOption(const std::string& strName)
{
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        if (strName == row.pszName)
            return &row;
    }
    return nullptr;
}

int RowOf(const HackOptionRow* pRow)
{
    return static_cast<int>(pRow - HACK_OPTIONS);
}

bool ParseInteger(const char* pszText, int nBase, long long& nValue)
{
    errno = 0;
    char* pEnd = nullptr;
    nValue = std::strtoll(pszText, &pEnd, nBase);
    return errno == 0 && pEnd != pszText && *pEnd == '\0';
}

// -geometry as X parses it: WxH, +X+Y or both; a size must be at least 1x1.
bool ParseGeometry(const char* pszText, HackOptions& options)
{
    int x = 0, y = 0;
    unsigned int nWidth = 0, nHeight = 0;
    const int nFlags = XParseGeometry(pszText, &x, &y, &nWidth, &nHeight);
    if (nFlags == NoValue || ((nFlags & WidthValue) && nWidth == 0) ||
        ((nFlags & HeightValue) && nHeight == 0) || nWidth > INT_MAX || nHeight > INT_MAX)
        return false;
    if (nFlags & WidthValue)
        options.nWidth = static_cast<int>(nWidth);
    if (nFlags & HeightValue)
        options.nHeight = static_cast<int>(nHeight);
    if ((nFlags & XValue) && (nFlags & YValue))
    {
        options.nX = x;
        options.nY = y;
        options.bPosition = true;
    }
    return true;
}

// The value of a number or choice option, or false.
bool ParseValue(const HackOptionRow& row, const char* pszText, int& nValue)
{
    const SettingRange range = RangeOf(row);
    if (row.kind == HackOptionKind::Choice)
    {
        for (int n = range.nMin; n <= range.nMax; ++n)
        {
            if (ChoiceWord(row, n - range.nMin) == pszText)
            {
                nValue = n;
                return true;
            }
        }
        return false;
    }
    long long n = 0;
    if (!ParseInteger(pszText, 10, n) || n < range.nMin || n > range.nMax)
        return false;
    nValue = static_cast<int>(n);
    return true;
}

std::string Expected(const HackOptionRow& row)
{
    const SettingRange range = RangeOf(row);
    if (row.kind == HackOptionKind::Choice)
        return row.pszLowLabel;
    return std::to_string(range.nMin) + ".." + std::to_string(range.nMax);
}
} // namespace

bool ParseWindowId(const char* pszText, unsigned long& nId)
{
    long long nValue = 0;
    const bool bHex = std::strncmp(pszText, "0x", 2) == 0 || std::strncmp(pszText, "0X", 2) == 0;
    const char* pszDigits = bHex ? pszText + 2 : pszText;
    if (*pszDigits == '-' || *pszDigits == '+' ||
        !ParseInteger(pszDigits, bHex ? 16 : 10, nValue) || nValue <= 0 || nValue > 0xFFFFFFFFLL)
        return false;
    nId = static_cast<unsigned long>(nValue);
    return true;
}

std::string ChoiceWord(const HackOptionRow& row, int nValue)
{
    const char* pszWord = row.pszLowLabel;
    for (int n = 0; n < nValue && pszWord != nullptr; ++n)
    {
        pszWord = std::strchr(pszWord, '|');
        if (pszWord != nullptr)
            ++pszWord;
    }
    if (pszWord == nullptr)
        return {};
    const char* pszEnd = std::strchr(pszWord, '|');
    return pszEnd != nullptr ? std::string(pszWord, pszEnd) : std::string(pszWord);
}

int HackOptions::ValueOf(const char* pszName) const
{
    const HackOptionRow* pRow = FindOption(pszName);
    return pRow != nullptr ? aValues[RowOf(pRow)] : 0;
}

int HackOptions::SettingValue(SettingIndex nIndex) const
{
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        if (row.nSetting == nIndex)
        {
            const int nValue = aValues[RowOf(&row)];
            return nIndex == SETTING_FADE_SCREEN ? ConvertFade(nValue) : nValue;
        }
    }
    return DefaultOf(nIndex);
}

bool ParseHackOptions(int argc, const char* const* argv, HackOptions& options,
                      std::string& strError)
{
    for (const HackOptionRow& row : HACK_OPTIONS)
        options.aValues[RowOf(&row)] = DefaultOf(row);
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        // Hacks take -name and --name alike.
        std::string strName = strArg.rfind("--", 0) == 0  ? strArg.substr(2)
                              : strArg.rfind('-', 0) == 0 ? strArg.substr(1)
                                                          : std::string();
        const char* pszValue = i + 1 < argc ? argv[i + 1] : nullptr;
        const HackOptionRow* pRow = FindOption(strName);
        const bool bTakesValue = strName == "window-id" || strName == "geometry" ||
                                 strName == "display" ||
                                 (pRow != nullptr && pRow->kind != HackOptionKind::Flag);
        if (bTakesValue && pszValue == nullptr)
        {
            strError = "missing value for " + strArg;
            return false;
        }
        if (strName == "root")
            options.target = HackOptions::Target::Root;
        else if (strName == "help")
            options.bHelp = true;
        else if (strName == "window-id")
        {
            if (!ParseWindowId(pszValue, options.nWindowId))
            {
                strError = "bad value for " + strArg + ": " + pszValue + " (a window id)";
                return false;
            }
            options.target = HackOptions::Target::WindowId;
        }
        else if (strName == "geometry")
        {
            if (!ParseGeometry(pszValue, options))
            {
                strError = "bad value for " + strArg + ": " + pszValue + " (WxH+X+Y)";
                return false;
            }
        }
        else if (strName == "display")
            options.strDisplay = pszValue;
        else if (pRow != nullptr && pRow->kind == HackOptionKind::Flag)
            options.aValues[RowOf(pRow)] = 1;
        else if (pRow != nullptr)
        {
            if (!ParseValue(*pRow, pszValue, options.aValues[RowOf(pRow)]))
            {
                strError =
                    "bad value for " + strArg + ": " + pszValue + " (" + Expected(*pRow) + ")";
                return false;
            }
        }
        else
        {
            strError = "unknown option " + strArg;
            return false;
        }
        if (bTakesValue)
            ++i;
    }
    const HackOptionRow* pMin = FindOption("explosion-min");
    const HackOptionRow* pMax = FindOption("explosion-max");
    OrderExplosionSizes(options.aValues[RowOf(pMin)], options.aValues[RowOf(pMax)]);
    return true;
}

void PrintHackSynopsis(std::FILE* pFile)
{
    std::fprintf(pFile, "%s\n(vulkara -help lists the options)\n", SYNOPSIS);
}

void PrintHackUsage(std::FILE* pFile)
{
    std::fprintf(pFile, "%s\n", SYNOPSIS);
    std::fprintf(pFile, "  %-26s %s\n", "-root",
                 "draw on the root window, or on $XSCREENSAVER_WINDOW when set");
    std::fprintf(pFile, "  %-26s %s\n", "-window-id ID", "draw on that window (decimal or 0x hex)");
    std::fprintf(pFile, "  %-26s %s\n", "-geometry WxH+X+Y", "the size of its own window");
    for (const HackOptionRow& row : HACK_OPTIONS)
    {
        std::string strSynopsis = std::string("-") + row.pszName;
        std::string strDefault;
        if (row.kind == HackOptionKind::Number)
        {
            strSynopsis += " " + Expected(row);
            strDefault = " (default " + std::to_string(DefaultOf(row)) + ")";
        }
        else if (row.kind == HackOptionKind::Choice)
        {
            strSynopsis += " " + Expected(row);
            strDefault = " (default " + ChoiceWord(row, DefaultOf(row) - RangeOf(row).nMin) + ")";
        }
        std::fprintf(pFile, "  %-26s %s%s\n", strSynopsis.c_str(), row.pszHelp, strDefault.c_str());
    }
}
