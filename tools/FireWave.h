#pragma once

#include <cstdint>
#include <vector>

// The background sound: ten seconds of soft crackling fire as a complete WAVE file (PCM,
// two channels, 11025 samples per second, 8 bits), the same bytes on every run. Its end runs
// smoothly into its start, so it loops without a click.
std::vector<uint8_t> BuildFireWave();
