#pragma once

// What the kernels of every instruction set share: the scalar pieces and the propagation's
// walk over rows and chunks. Each source file that includes it is compiled for one instruction
// set, so everything here has internal linkage: no function built for a wider processor may
// stand in for another file's copy.

#include "FlameKernels.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
constexpr uint8_t HEAT_GROUP_MASK = 0xf8; // the upper five bits choose the colour group
constexpr int GROUP = 4;                  // pixels that share one desktop shift

inline uint8_t Mean4(int a, int b, int c, int d)
{
    return static_cast<uint8_t>((a + b + c + d) >> 2);
}

inline int ChunksPerRow(int nWidth)
{
    return (nWidth + FLAME_CHUNK - 1) / FLAME_CHUNK;
}

// Pass n recomputes pixels (n, 1) .. (n, W-1), which read only the row below (final for this
// step, except (n+1, 0)) and themselves, so they may be computed in any order; the pass ends
// with (n+1, 0), which (n, 1) must still have seen with its old value.
inline void FinishPass(uint8_t* pBelow, int nWidth)
{
    pBelow[0] = Mean4(pBelow[nWidth - 1], pBelow[nWidth], pBelow[nWidth + 1], pBelow[0]);
}

// The overlay from pixel nStart on, a group at a time.
inline void ComposeGroupTail(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop,
                             int nStart, int nCount)
{
    for (int p = nStart; p < nCount; p += GROUP)
    {
        const int nShift = pFlame[p] >> 2;
        for (int k = 0; k < GROUP && p + k < nCount; ++k)
            pDest[p + k] =
                static_cast<uint8_t>((pFlame[p + k] & HEAT_GROUP_MASK) + pDesktop[p + nShift + k]);
    }
}

inline bool IsFlagged(const uint64_t* pWords, int nChunk)
{
    return (pWords[nChunk / 64] >> (nChunk % 64) & 1) != 0;
}

// The flag bits of chunks j .. j + n - 1 of one word (n >= 1).
inline uint64_t ChunkBits(int j, int n)
{
    const uint64_t nRun = n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
    return nRun << j;
}

inline int LowestBit(uint64_t n)
{
#ifdef __i386__
    // No 64-bit instruction for it there; the compiler's helper is a call, which showed.
    const uint32_t nLow = static_cast<uint32_t>(n);
    return nLow != 0 ? __builtin_ctz(nLow) : 32 + __builtin_ctz(static_cast<uint32_t>(n >> 32));
#else
    return __builtin_ctzll(n);
#endif
}

// Takes the lowest run of set bits out of nBits, which must not be 0: returns its length and
// sets nFirst to its first bit.
inline int TakeLowestRun(uint64_t& nBits, int& nFirst)
{
    // Adding the run's lowest bit clears the run and carries into the bit after it.
    const uint64_t nAfter = nBits + (nBits & (~nBits + 1));
    nFirst = LowestBit(nBits);
    const int nEnd = nAfter == 0 ? 64 : LowestBit(nAfter);
    nBits &= nAfter;
    return nEnd - nFirst;
}

// One vector of a row from pixel x on. With bKeepFirst its first pixel keeps its old value:
// pixel 0 is the next pass's.
template <class Ops, bool bKeepFirst = false>
inline typename Ops::Reg PropagateVector(uint8_t* pRow, const uint8_t* pBelow, int x)
{
    using Reg = typename Ops::Reg;
    const Reg self = Ops::Load(pRow + x);
    Reg mean = Ops::Mean(Ops::Load(pBelow + x - 1), Ops::Load(pBelow + x + 1),
                         Ops::Load(pBelow + x), self);
    if (bKeepFirst)
        mean = Ops::KeepFirst(mean, self);
    Ops::Store(pRow + x, mean);
    return mean;
}

// Computes pixels xStart .. xEnd - 1 of a row in whole vectors from the start of a chunk on;
// bit k of the result is set when the chunk k chunks on came out hot.
template <class Ops>
inline uint64_t PropagateRun(uint8_t* pRow, const uint8_t* pBelow, int xStart, int xEnd)
{
    using Reg = typename Ops::Reg;
    const int nWhole = (xEnd - xStart) / FLAME_CHUNK;
    int c = 0;
    uint64_t nHot = 0;
    if (xStart == 0)
    {
        const int xFirstEnd = nWhole > 0 ? FLAME_CHUNK : xEnd;
        Reg heat = PropagateVector<Ops, true>(pRow, pBelow, 0);
        for (int x = Ops::WIDTH; x < xFirstEnd; x += Ops::WIDTH)
            heat = Ops::Or(heat, PropagateVector<Ops>(pRow, pBelow, x));
        nHot = !Ops::IsZero(heat);
        if (nWhole == 0)
            return nHot;
        c = 1;
    }
    for (; c < nWhole; ++c)
    {
        Reg heat = Ops::Zero();
        for (int k = 0; k < FLAME_CHUNK / Ops::WIDTH; ++k)
            heat = Ops::Or(heat, PropagateVector<Ops>(pRow, pBelow,
                                                      xStart + c * FLAME_CHUNK + k * Ops::WIDTH));
        nHot |= static_cast<uint64_t>(!Ops::IsZero(heat)) << c;
    }
    // A run may end with part of the last chunk.
    const int xPart = xStart + nWhole * FLAME_CHUNK;
    if (xPart < xEnd)
    {
        Reg heat = Ops::Zero();
        for (int x = xPart; x < xEnd; x += Ops::WIDTH)
            heat = Ops::Or(heat, PropagateVector<Ops>(pRow, pBelow, x));
        nHot |= static_cast<uint64_t>(!Ops::IsZero(heat)) << nWhole;
    }
    return nHot;
}

// Computes the warm chunks of one flag word of a row, nWarm, whose bit 0 is chunk nFirstChunk,
// as far as whole vectors go; returns their hot bits. Kept out of line: inlined into the row
// walk, its pointers ended up on the stack for lack of registers, and the loop waited on them.
template <class Ops>
__attribute__((noinline)) uint64_t PropagateWord(uint8_t* pRow, const uint8_t* pBelow,
                                                 uint64_t nWarm, int nFirstChunk, int xWholeEnd)
{
    uint64_t nHot = 0;
    while (nWarm != 0)
    {
        int j0;
        const int nRun = TakeLowestRun(nWarm, j0);
        const int xStart = (nFirstChunk + j0) * FLAME_CHUNK;
        const int xEnd = (nFirstChunk + j0 + nRun) * FLAME_CHUNK;
        if (xStart < xWholeEnd)
            nHot |= PropagateRun<Ops>(pRow, pBelow, xStart, xEnd < xWholeEnd ? xEnd : xWholeEnd)
                    << j0;
    }
    return nHot;
}

// Ops supplies one instruction set's vectors: Reg, WIDTH (a divisor of FLAME_CHUNK), Load (into
// a register, once), Mean(left, right, below, self), KeepFirst(v, old) (v with the first byte
// of old), Store, Or, Zero and IsZero.
//
// Chunk j of a row holds pixels 64j .. 64j + 63; a row's flags are bits, 64 chunks to a word.
// A chunk is recomputed only when it or a chunk its pixels read may be hot: the chunks
// j-1 .. j+1 of the row below, and for the last chunk, whose last pixel reads two rows down,
// chunk 0 there. A cold chunk whose inputs are cold stays zero, so skipping it changes no
// byte. The warm chunks are walked as runs, so that the hot middle of the fire goes through
// one tight loop and the branches stay predictable.
template <class Ops>
void PropagateInChunks(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot)
{
    using Reg = typename Ops::Reg;
    constexpr int V = Ops::WIDTH;
    const int nChunks = ChunksPerRow(nWidth);
    const int nWords = (nChunks + 63) / 64;
    const int nLast = nChunks - 1;
    const int nLastWord = nLast / 64;
    const uint64_t nLastBit = uint64_t{1} << (nLast % 64);
    // The chunk before the last, or none.
    const int nBeforeLastWord = nLast > 0 ? (nLast - 1) / 64 : 0;
    const uint64_t nBeforeLastBit = nLast > 0 ? uint64_t{1} << ((nLast - 1) % 64) : 0;
    // Whole vectors cover the row up to here. The pixels after it are left to one vector
    // ending at the row's end: it is computed before the row's first store, from the old values
    // the others also read, and stored last, so where they overlap it writes the same bytes.
    // Only a row narrower than a vector is left to the scalar loop.
    const int xWholeEnd = nWidth >= V ? nWidth / V * V : 0;
    const bool bTailVector = nWidth > V && xWholeEnd < nWidth;
    const int xTail = nWidth - V;

    for (int n = nHeight - 2; n >= 0; --n)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(n) * nWidth;
        uint8_t* pBelow = pRow + nWidth;
        uint64_t* pHotRow = pHot + static_cast<size_t>(n) * nWords;
        uint64_t* pHotBelow = pHotRow + nWords;
        const uint64_t* pHotTwoBelow = pHotBelow + nWords;

        const bool bLastWarm = ((pHotRow[nLastWord] | pHotBelow[nLastWord]) & nLastBit) != 0 ||
                               (pHotBelow[nBeforeLastWord] & nBeforeLastBit) != 0 ||
                               (pHotTwoBelow[0] & 1) != 0;
        Reg tail = Ops::Zero();
        if (bTailVector && bLastWarm)
            tail = Ops::Mean(Ops::Load(pBelow + xTail - 1), Ops::Load(pBelow + xTail + 1),
                             Ops::Load(pBelow + xTail), Ops::Load(pRow + xTail));

        for (int w = 0; w < nWords; ++w)
        {
            const uint64_t nBelow = pHotBelow[w];
            const uint64_t nFromLeft = (nBelow << 1) | (w > 0 ? pHotBelow[w - 1] >> 63 : 0);
            const uint64_t nFromRight =
                (nBelow >> 1) | (w + 1 < nWords ? pHotBelow[w + 1] << 63 : 0);
            uint64_t nWarm = pHotRow[w] | nBelow | nFromLeft | nFromRight;
            if (w == nLastWord)
                nWarm = (nWarm & (nLastBit - 1)) | (bLastWarm ? nLastBit : 0);
            const bool bFirstWarm = w == 0 && (nWarm & 1) != 0;
            uint64_t nHot =
                nWarm != 0 ? PropagateWord<Ops>(pRow, pBelow, nWarm, w * 64, xWholeEnd) : 0;
            // The pixels after the last whole vector.
            if (w == nLastWord && bLastWarm && xWholeEnd < nWidth)
            {
                int nHeat = 0;
                if (bTailVector)
                    nHeat = !Ops::IsZero(tail);
                else
                {
                    for (int x = xWholeEnd > 0 ? xWholeEnd : 1; x < nWidth; ++x)
                    {
                        pRow[x] = Mean4(pBelow[x - 1], pBelow[x], pBelow[x + 1], pRow[x]);
                        nHeat |= pRow[x];
                    }
                }
                if (nHeat != 0)
                    nHot |= nLastBit;
            }
            if (bFirstWarm && pRow[0] != 0)
                nHot |= 1; // pixel 0, the next pass's, is still old and hot
            pHotRow[w] = nHot;
        }
        if (bTailVector && bLastWarm)
            Ops::Store(pRow + xTail, tail);

        if (((pHotBelow[0] | pHotTwoBelow[0]) & 1) != 0 || (pHotBelow[nLastWord] & nLastBit) != 0)
        {
            FinishPass(pBelow, nWidth);
            if (pBelow[0] != 0)
                pHotBelow[0] |= 1;
        }
    }
    std::memcpy(pFlame, pFlame + nWidth, static_cast<size_t>(nWidth));
    std::memcpy(pHot, pHot + nWords, static_cast<size_t>(nWords) * sizeof(uint64_t));
}
} // namespace
