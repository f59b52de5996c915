#pragma once

#include "SettingChoices.h"
#include "SettingIndex.h"

#include <cstddef>
#include <iterator>
#include <utility>

// Every setting in one table: its name and type in the profile, its value when missing and
// after construction, and the range the Settings page accepts. The record's Load and Save, the
// page and the tests all read it.

// How a setting is kept.
enum class SettingStorage
{
    Dword,    // a 32-bit number in the profile
    Password, // the one text, stored scrambled
    Derived,  // worked out by Load and never stored; the writer may set it
    ReadOnly, // worked out by Load, never stored and never set through the writer
};

// When Load reads a stored value. The stages run in this order, each in table order; between
// them Load substitutes the screen size for a missing resolution and orders the explosion
// sizes, which must see the values of the stages before.
enum class LoadStage
{
    First,
    Counts,
    Last,
};

struct SettingRange
{
    int nMin;
    int nMax;
};

struct SettingRow
{
    SettingIndex nIndex;
    const char* pszName; // the value's name in the profile (and the setting's name)
    SettingStorage storage;
    LoadStage loadStage; // of stored values only
    int nDefault;        // when the profile has no usable value
    int nInitial;        // in a record before Load
    SettingRange range;  // what the Settings page accepts; empty where it checks nothing
};

constexpr SettingRange NO_RANGE = {1, 0};

// Stored values come first, in the order Save writes them; the values Load works out follow. To
// add a setting: give it the next index in SettingIndex.h and a row here, after the password's
// with the load stage Last unless something must see it earlier; the record then loads, saves,
// reads and writes it from the row alone.
constexpr SettingRow SETTINGS_TABLE[] = {
    // clang-format off
    // index                          name                     storage                   load stage          default initial page range
    {SETTING_XRES,                     "XRes",                  SettingStorage::Dword,    LoadStage::First,   0,   0, NO_RANGE},
    {SETTING_YRES,                     "YRes",                  SettingStorage::Dword,    LoadStage::First,   0,   0, NO_RANGE},
    {SETTING_SPARKLES_COUNT,           "SparklesCount",         SettingStorage::Dword,    LoadStage::Counts,  500, 0, {0, 1000}},
    {SETTING_FIREBALL_COUNT,           "FireBallCount",         SettingStorage::Dword,    LoadStage::Counts,  6,   0, {0, 50}},
    {SETTING_FIREWORK_COUNT,           "FireWorkCount",         SettingStorage::Dword,    LoadStage::Counts,  6,   0, {0, 100}},
    // The page shows the divisor n as the percentage 100 / n; the range is the percentage's.
    {SETTING_FADE_SCREEN,              "FadeScreen",            SettingStorage::Dword,    LoadStage::Last,    2,   0, {0, 100}},
    {SETTING_FIREBALL_IN_FIREWORK_MAX, "FireBallInFireWorkMax", SettingStorage::Dword,    LoadStage::Counts,  80,  0, {1, 150}},
    {SETTING_FIREBALL_IN_FIREWORK_MIN, "FireBallInFireWorkMin", SettingStorage::Dword,    LoadStage::Counts,  10,  0, {1, 150}},
    {SETTING_BACKGROUND_SOUND,         "BackgroundSoundEnable", SettingStorage::Dword,    LoadStage::Counts,  1,   0, {0, 1}},
    {SETTING_USE_DIRECTX,              "UseDirectX",            SettingStorage::Dword,    LoadStage::First,   1,   1, {0, 1}},
    {SETTING_PASSWORD,                 "Password",              SettingStorage::Password, LoadStage::Last,    0,   0, NO_RANGE},
    // The page offers these as lists; the ranges are the rows of each list.
    {SETTING_MULTI_MONITOR,            "MultiMonitor",          SettingStorage::Dword,    LoadStage::Last,    0,   0, {0, MULTI_MONITOR_CHOICES - 1}},
    {SETTING_FIRE_SIZE,                "FireSize",              SettingStorage::Dword,    LoadStage::Last,    0,   0, {0, FIRE_SIZE_CHOICES - 1}},
    {SETTING_USE_CURRENT_RES,          "UseCurrentRes",         SettingStorage::Derived,  LoadStage::Last,    0,   0, NO_RANGE},
    {SETTING_SCREENSAVE_USE_PASSWORD,  "ScreenSaveUsePassword", SettingStorage::ReadOnly, LoadStage::Last,    0,   0, NO_RANGE},
    // clang-format on
};

// The row of an index, or null for an index no setting has.
constexpr const SettingRow* FindSettingRow(int nIndex)
{
    for (const SettingRow& row : SETTINGS_TABLE)
    {
        if (row.nIndex == nIndex)
            return &row;
    }
    return nullptr;
}

// The row of a known index.
constexpr const SettingRow& SettingRowOf(SettingIndex nIndex)
{
    return *FindSettingRow(nIndex);
}

// The value a known index takes when the profile has none.
constexpr int DefaultOf(SettingIndex nIndex)
{
    return SettingRowOf(nIndex).nDefault;
}

// Every index below SETTING_COUNT has exactly one row.
constexpr bool TableCoversEveryIndexOnce()
{
    if (std::size(SETTINGS_TABLE) != static_cast<std::size_t>(SETTING_COUNT))
        return false;
    for (int nIndex = 0; nIndex < SETTING_COUNT; ++nIndex)
    {
        if (FindSettingRow(nIndex) == nullptr)
            return false;
    }
    return true;
}
static_assert(TableCoversEveryIndexOnce(), "every setting index needs exactly one row");

// FadeScreen n is shown as the percentage 100 / n, and a percentage p stored as 100 / p; 0 (no
// overlay) stays 0 both ways.
constexpr int ConvertFade(int nValue)
{
    return nValue != 0 ? 100 / nValue : 0;
}

// Users see the explosion sizes as a range: a minimum above the maximum is exchanged.
inline void OrderExplosionSizes(int& nMin, int& nMax)
{
    if (nMin > nMax)
        std::swap(nMin, nMax);
}
