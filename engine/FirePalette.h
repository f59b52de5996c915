#pragma once

#include "PaletteEntry.h"

// The fire palette that the program carries as its "PALETTE" resource: heat 0 is black,
// rising heat runs through red and orange to pale yellow.
void BuildFirePalette(PaletteEntry aPalette[PALETTE_SIZE]);
