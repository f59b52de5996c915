#pragma once

#include <cstdint>

// The definitions of the two per-pixel loops in their plain literal form, compiled as scalar
// code: the reference the engine's kernels are measured and checked against.
void LiteralPropagate(uint8_t* F, int W, int H);
void LiteralOverlay(uint8_t* O, const uint8_t* F, const uint8_t* D, int nCount);
