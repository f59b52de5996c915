#include "FlameKernels.h"

#include <cstddef>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{
constexpr uint8_t HEAT_GROUP_MASK = 0xf8; // the upper five bits choose the colour group
constexpr int GROUP = 4;                  // pixels that share one desktop shift

inline uint8_t Mean4(int a, int b, int c, int d)
{
    return static_cast<uint8_t>((a + b + c + d) >> 2);
}

// Pass n recomputes pixels (n, 1) .. (n, W-1), which read only the row below (final for this
// step, except (n+1, 0)) and themselves, so they may be computed in any order; the pass ends
// with (n+1, 0), which (n, 1) must still have seen with its old value.
inline void FinishPass(uint8_t* pBelow, int nWidth)
{
    pBelow[0] = Mean4(pBelow[nWidth - 1], pBelow[nWidth], pBelow[nWidth + 1], pBelow[0]);
}

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
} // namespace

void PropagateFlamePortable(uint8_t* pFlame, int nWidth, int nHeight)
{
    for (int n = nHeight - 2; n >= 0; --n)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(n) * nWidth;
        uint8_t* pBelow = pRow + nWidth;
        for (int x = 1; x < nWidth; ++x)
            pRow[x] = Mean4(pBelow[x - 1], pBelow[x], pBelow[x + 1], pRow[x]);
        FinishPass(pBelow, nWidth);
    }
    std::memcpy(pFlame, pFlame + nWidth, static_cast<size_t>(nWidth));
}

void ComposeOverlayPortable(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop,
                            int nCount)
{
    ComposeGroupTail(pDest, pFlame, pDesktop, 0, nCount);
}

#ifdef __SSE2__

namespace
{
constexpr int VECTOR = 16;

inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i Load32(const uint8_t* p)
{
    int32_t n;
    std::memcpy(&n, p, sizeof(n));
    return _mm_cvtsi32_si128(n);
}
} // namespace

void PropagateFlame(uint8_t* pFlame, int nWidth, int nHeight)
{
    const __m128i zero = _mm_setzero_si128();
    for (int n = nHeight - 2; n >= 0; --n)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(n) * nWidth;
        uint8_t* pBelow = pRow + nWidth;
        int x = 1;
        for (; x + VECTOR <= nWidth; x += VECTOR)
        {
            const __m128i l = Load(pBelow + x - 1);
            const __m128i c = Load(pBelow + x);
            const __m128i r = Load(pBelow + x + 1);
            const __m128i o = Load(pRow + x);
            __m128i lo = _mm_add_epi16(
                _mm_add_epi16(_mm_unpacklo_epi8(l, zero), _mm_unpacklo_epi8(c, zero)),
                _mm_add_epi16(_mm_unpacklo_epi8(r, zero), _mm_unpacklo_epi8(o, zero)));
            __m128i hi = _mm_add_epi16(
                _mm_add_epi16(_mm_unpackhi_epi8(l, zero), _mm_unpackhi_epi8(c, zero)),
                _mm_add_epi16(_mm_unpackhi_epi8(r, zero), _mm_unpackhi_epi8(o, zero)));
            lo = _mm_srli_epi16(lo, 2);
            hi = _mm_srli_epi16(hi, 2);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pRow + x), _mm_packus_epi16(lo, hi));
        }
        for (; x < nWidth; ++x)
            pRow[x] = Mean4(pBelow[x - 1], pBelow[x], pBelow[x + 1], pRow[x]);
        FinishPass(pBelow, nWidth);
    }
    std::memcpy(pFlame, pFlame + nWidth, static_cast<size_t>(nWidth));
}

void ComposeOverlay(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
{
    const __m128i mask = _mm_set1_epi8(static_cast<char>(HEAT_GROUP_MASK));
    int p = 0;
    for (; p + VECTOR <= nCount; p += VECTOR)
    {
        const uint8_t* pD = pDesktop + p;
        const __m128i d0 = Load32(pD + (pFlame[p] >> 2));
        const __m128i d1 = Load32(pD + 4 + (pFlame[p + 4] >> 2));
        const __m128i d2 = Load32(pD + 8 + (pFlame[p + 8] >> 2));
        const __m128i d3 = Load32(pD + 12 + (pFlame[p + 12] >> 2));
        const __m128i d =
            _mm_unpacklo_epi64(_mm_unpacklo_epi32(d0, d1), _mm_unpacklo_epi32(d2, d3));
        const __m128i f = _mm_and_si128(Load(pFlame + p), mask);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDest + p), _mm_add_epi8(f, d));
    }
    ComposeGroupTail(pDest, pFlame, pDesktop, p, nCount);
}

#else

void PropagateFlame(uint8_t* pFlame, int nWidth, int nHeight)
{
    PropagateFlamePortable(pFlame, nWidth, nHeight);
}

void ComposeOverlay(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
{
    ComposeOverlayPortable(pDest, pFlame, pDesktop, nCount);
}

#endif
