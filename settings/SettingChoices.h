#pragma once

// The values of the settings that the Settings page offers as lists, a row for each value in
// this order. The settings table's ranges and the page's rows are made from these counts.

// What the FireSize setting chooses: how many engine pixels a screen of a given size gets.
enum FireSizeChoice
{
    FIRE_SIZE_SCREEN_PIXELS = 0, // one engine pixel per screen pixel
    FIRE_SIZE_CLASSIC = 1,       // the classic size, stretched to the screen
    FIRE_SIZE_CHOICES
};

// How many values the MultiMonitor setting has; MultiMonitorChoice names them.
constexpr int MULTI_MONITOR_CHOICES = 3;
