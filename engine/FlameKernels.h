#pragma once

#include <cstdint>
#include <vector>

// The two loops that touch every pixel of every frame. Each has a portable form and vectorised
// ones (SSE2 wherever the compiler targets it, wider ones chosen at run time on 64-bit hosts),
// all producing exactly the same bytes.

// The overlay reads the desktop up to this many bytes past the pixel it composes: a shift of
// up to 63 (heat 255 / 4) plus the rest of the four-pixel group.
constexpr int OVERLAY_READ_AHEAD = 66;

// Moves the heat of a W x (H+1) flame buffer one step upward, in place: rows H-2 .. 0 bottom
// to top, each byte the truncated mean of itself and the three bytes below it in the linear
// buffer, then row 0 takes a copy of row 1. Needs nWidth >= 2 and nHeight >= 2.
void PropagateFlame(uint8_t* pFlame, int nWidth, int nHeight);
void PropagateFlamePortable(uint8_t* pFlame, int nWidth, int nHeight);

// Composes nCount bytes of flame and desktop grey levels into pDest, four pixels at a time:
// the heat's upper five bits choose the colour group and the desktop, read further along by a
// quarter of the group's first heat, chooses the place in the group. pDesktop must be
// readable for nCount + OVERLAY_READ_AHEAD bytes.
void ComposeOverlay(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount);
void ComposeOverlayPortable(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop,
                            int nCount);

// One form of both loops: the portable one, then each vectorised one this build holds and the
// processor runs. The engine uses the last; tests check every one against the definition.
struct FlameKernelVariant
{
    const char* pszName;
    void (*pPropagate)(uint8_t* pFlame, int nWidth, int nHeight);
    void (*pOverlay)(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount);
};

std::vector<FlameKernelVariant> GetFlameKernelVariants();
