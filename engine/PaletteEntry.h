#pragma once

#include <cstdint>

// One palette colour, laid out like the system's PALETTEENTRY so that the Windows side can
// hand its arrays to the engine unchanged.
struct PaletteEntry
{
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};

static_assert(sizeof(PaletteEntry) == 4, "PaletteEntry must match PALETTEENTRY");

constexpr int PALETTE_SIZE = 256;
constexpr int PALETTE_BYTES = PALETTE_SIZE * static_cast<int>(sizeof(PaletteEntry));
