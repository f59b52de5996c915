#pragma once

#include "SaverPlan.h"

#include <vector>

// The environment variable that, when it holds a well-formed layout, stands for the system's
// monitors: a debugging aid for one screen that should behave as several.
constexpr char FAKE_MONITORS_VARIABLE[] = "VULKARA_FAKE_MONITORS";

// The monitors as they are now, the primary first: the fake layout when one is set and well
// formed, otherwise the system's. Malformed fake text is ignored, never half used.
std::vector<ScreenRect> CurrentMonitors();

// What the stored settings ask of the saver on the primary display as it runs now.
SaverRequest CurrentSaverRequest(const ISettingsReader& settings);
