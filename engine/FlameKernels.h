#pragma once

#include <cstdint>
#include <vector>

// The loops that touch every pixel of every frame. Each has a portable form and vectorised ones
// (SSE2 wherever the compiler targets it, wider ones chosen at run time), all producing exactly
// the same bytes.

// The overlay reads the desktop up to this many bytes past the pixel it composes: a shift of
// up to 63 (heat 255 / 4) plus the rest of the four-pixel group.
constexpr int OVERLAY_READ_AHEAD = 66;

// The propagation keeps, per row, one flag bit per chunk of FLAME_CHUNK pixels, clear when the
// chunk is known to hold no heat at all, so that the cold part of the screen above the flames
// costs nothing. Chunk j of a row holds pixels 64j .. 64j + 63; bit j % 64 of word j / 64 of
// the row's words is its flag.
constexpr int FLAME_CHUNK = 64;

// Chunks in a row: nWidth / FLAME_CHUNK, rounded up.
int FlameChunksPerRow(int nWidth);
// Flag words per row.
int FlameHotWordsPerRow(int nWidth);
// The chunk that holds pixel x of a row.
int FlameChunkOf(int x);
// Flags the chunks that hold pixels (x0, y0) .. (x1, y1).
void FlagFlameChunks(uint64_t* pHot, int nWidth, int x0, int y0, int x1, int y1);
bool IsFlameChunkFlagged(const uint64_t* pHot, int nWidth, int y, int x);

// Moves the heat of a W x (H+1) flame buffer one step upward, in place: rows H-2 .. 0 bottom
// to top, each byte the truncated mean of itself and the three bytes below it in the linear
// buffer, then row 0 takes a copy of row 1. Needs nWidth >= 2 and nHeight >= 2.
// pHot holds (H+1) rows of chunk flags. Every chunk that holds a non-zero byte must be
// flagged; the propagation skips chunks that stay cold and leaves the flags true for the
// result, so that whoever writes heat into the buffer only has to flag where it wrote.
void PropagateFlame(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot);

// Composes nCount bytes of flame and desktop grey levels into pDest, four pixels at a time:
// the heat's upper five bits choose the colour group and the desktop, read further along by a
// quarter of the group's first heat, chooses the place in the group. pDesktop must be
// readable for nCount + OVERLAY_READ_AHEAD bytes.
void ComposeOverlay(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount);
void ComposeOverlayPortable(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop,
                            int nCount);

// A whole W x H frame, the same as the two functions above would write it, with the cold parts
// done without reading the flame: where the chunk flags say it is cold, the overlay is the
// desktop unshifted and the plain frame is zero.
void ComposeOverlayFrame(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nWidth,
                         int nHeight, const uint64_t* pHot);
void CopyFlameFrame(uint8_t* pDest, const uint8_t* pFlame, int nWidth, int nHeight,
                    const uint64_t* pHot);

// A table of 256 32-bit pixels, also kept as four planes of its bytes (least significant
// first), the form the vectorised look-up reads; made once for many look-ups.
struct ColourTable
{
    alignas(64) uint32_t aColours[256];
    alignas(64) uint8_t aPlanes[4][256];
};
void MakeColourTable(ColourTable& table, const uint32_t* pColours);

// Looks nCount pixels of an 8-bit frame up in the table: what a screen that takes 32-bit
// pixels gets of every pixel it is sent.
void LookUpColours(uint32_t* pDest, const uint8_t* pSource, int nCount, const ColourTable& table);
void LookUpColoursPortable(uint32_t* pDest, const uint8_t* pSource, int nCount,
                           const ColourTable& table);

// One form of the loops: the portable one, then each vectorised one this build holds and the
// processor runs. The engine uses the last; tests check every one against the definition.
struct FlameKernelVariant
{
    const char* pszName;
    void (*pPropagate)(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot);
    void (*pOverlay)(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount);
    void (*pLookUp)(uint32_t* pDest, const uint8_t* pSource, int nCount, const ColourTable& table);
};

std::vector<FlameKernelVariant> GetFlameKernelVariants();
