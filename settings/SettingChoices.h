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

// What the saver does with several monitors: the stored value of the MultiMonitor setting.
enum MultiMonitorChoice
{
    MULTI_MONITOR_FIRE_ON_EVERY = 0, // each monitor its own window and engine
    MULTI_MONITOR_MAIN_ONLY = 1,     // fire on the primary monitor, the others black
    MULTI_MONITOR_SPAN = 2,          // one window and one engine across all monitors
    MULTI_MONITOR_CHOICES
};
