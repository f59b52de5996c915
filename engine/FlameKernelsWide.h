#pragma once

#include <cstdint>

// Wider kernels for 64-bit hosts, each in a source file compiled for its own instruction set;
// call them only where the processor has it.
#ifdef VULKARA_WIDE_KERNELS
void PropagateFlameAvx2(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot);
void PropagateFlameAvx512(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot);
void ComposeOverlayVbmi(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount);
void ComposeOverlayChunksVbmi(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop,
                              int nWidth, int nHeight, const uint64_t* pHot);
#endif
void LookUpColoursVbmi(uint32_t* pDest, const uint8_t* pSource, int nCount,
                       const ColourTable& table);
