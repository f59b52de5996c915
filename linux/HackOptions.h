#pragma once

#include "SettingsTable.h"

#include <cstdio>
#include <iterator>
#include <string>

// The command line of the X11 program, in the manner of every XScreenSaver hack. The settings
// take their names' ranges and defaults from the settings table; the table below adds only
// what the command line and the settings dialog show of them.

enum class HackOptionKind
{
    Number, // -name N, within the range
    Choice, // -name WORD, one of the words, standing for the range's values in order
    Flag,   // -name alone
};

struct HackOptionRow
{
    const char* pszName; // without the dash
    HackOptionKind kind;
    int nSetting;            // a SettingIndex, or NO_SETTING for the hack's own options
    SettingRange range;      // the hack's own options only; the others read the settings table
    int nDefault;            // likewise
    const char* pszLabel;    // the settings dialog's label
    const char* pszLowLabel; // a slider's ends, or a choice's words separated by '|'
    const char* pszHighLabel;
    const char* pszHelp; // one line of -help and the manual page
    bool bInverted;      // the dialog's slider runs against the value: a delay shown as a rate
};

constexpr int NO_SETTING = -1;

constexpr HackOptionRow HACK_OPTIONS[] = {
    // clang-format off
    {"sparkles", HackOptionKind::Number, SETTING_SPARKLES_COUNT, NO_RANGE, 0, "Sparkles", "None", "Many", "sparks rising from the fire", false},
    {"fireballs", HackOptionKind::Number, SETTING_FIREBALL_COUNT, NO_RANGE, 0, "Fireballs", "None", "Many", "balls of fire bouncing over it", false},
    {"fireworks", HackOptionKind::Number, SETTING_FIREWORK_COUNT, NO_RANGE, 0, "Fireworks", "None", "Many", "rockets in flight at once", false},
    {"explosion-min", HackOptionKind::Number, SETTING_FIREBALL_IN_FIREWORK_MIN, NO_RANGE, 0, "Smallest explosion", "Small", "Large", "fewest balls in an explosion", false},
    {"explosion-max", HackOptionKind::Number, SETTING_FIREBALL_IN_FIREWORK_MAX, NO_RANGE, 0, "Largest explosion", "Small", "Large", "most balls in an explosion", false},
    {"fade", HackOptionKind::Number, SETTING_FADE_SCREEN, NO_RANGE, 0, "Desktop under the fire (percent)", "Off", "Bright", "the screen under the fire, in percent of its brightness (0: fire on black)", false},
    {"fire-size", HackOptionKind::Choice, SETTING_FIRE_SIZE, NO_RANGE, 0, "Fire size", "screen|classic", "Screen pixels|Classic size, stretched", "screen: a fire pixel per screen pixel; classic: the classic size, stretched", false},
    {"delay", HackOptionKind::Number, NO_SETTING, {0, 100000}, 25000, "Frame rate", "Low", "High", "microseconds from one frame to the next", true},
    {"fps", HackOptionKind::Flag, NO_SETTING, NO_RANGE, 0, "Show frame rate", nullptr, nullptr, "print the frames per second on standard error once a second", false},
    // clang-format on
};

// The range a number or choice option accepts.
constexpr SettingRange RangeOf(const HackOptionRow& row)
{
    return row.nSetting == NO_SETTING ? row.range
                                      : SettingRowOf(static_cast<SettingIndex>(row.nSetting)).range;
}

// The value an option takes when not given, as the command line writes it: the fade as the
// percentage the settings page shows.
constexpr int DefaultOf(const HackOptionRow& row)
{
    if (row.nSetting == NO_SETTING)
        return row.nDefault;
    const int nDefault = DefaultOf(static_cast<SettingIndex>(row.nSetting));
    return row.nSetting == SETTING_FADE_SCREEN ? ConvertFade(nDefault) : nDefault;
}

// The word of a choice option for value nValue (0 for the range's first), without its ends.
std::string ChoiceWord(const HackOptionRow& row, int nValue);

// Where to draw, and what.
struct HackOptions
{
    static constexpr int DEFAULT_WIDTH = 1024;
    static constexpr int DEFAULT_HEIGHT = 768;

    enum class Target
    {
        OwnWindow,
        Root, // the root, or $XSCREENSAVER_WINDOW
        WindowId,
    };
    Target target = Target::OwnWindow;
    unsigned long nWindowId = 0;
    // The own window's place and size (-geometry); the position only when given.
    int nX = 0;
    int nY = 0;
    int nWidth = DEFAULT_WIDTH;
    int nHeight = DEFAULT_HEIGHT;
    bool bPosition = false;
    std::string strDisplay;
    bool bHelp = false;
    // Each option's value by its row in HACK_OPTIONS; flags 0 or 1.
    int aValues[std::size(HACK_OPTIONS)] = {};

    int ValueOf(const char* pszName) const;
    // The settings record's value of a setting, the fade as its divisor.
    int SettingValue(SettingIndex nIndex) const;
};

// Fills options from the command line (both -name and --name). On failure strError names the
// option or value and what is wrong, in one line.
bool ParseHackOptions(int argc, const char* const* argv, HackOptions& options,
                      std::string& strError);

// A window id as XScreenSaver writes it (0x hex) or in decimal; false for anything else.
bool ParseWindowId(const char* pszText, unsigned long& nId);

// The usage: the synopsis, then a line for each option with its range and default.
void PrintHackUsage(std::FILE* pFile);
// The synopsis alone, and where to find the rest.
void PrintHackSynopsis(std::FILE* pFile);
