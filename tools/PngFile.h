#pragma once

#include "PaletteEntry.h"

#include <cstdint>
#include <string>

// Writes a frame (top row first, one palette index per pixel) as an 8-bit palette PNG.
bool WritePng8(const std::string& strPath, const uint8_t* pFrame, int nWidth, int nHeight,
               const PaletteEntry aPalette[PALETTE_SIZE]);
