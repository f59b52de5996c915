#pragma once

#include "PaletteEntry.h"

#include <cstdint>
#include <string>

class CBitmap24;

// Reads an uncompressed 24-bit Windows bitmap, bottom-up or top-down, into a bottom-up
// picture. On failure strError says why.
bool ReadBmp24(const std::string& strPath, CBitmap24& picture, std::string& strError);

// Writes an 8-bit bitmap with a 256-colour table from a frame stored top row first.
bool WriteBmp8(const std::string& strPath, const uint8_t* pFrame, int nWidth, int nHeight,
               const PaletteEntry aPalette[PALETTE_SIZE]);
