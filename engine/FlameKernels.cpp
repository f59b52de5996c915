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

// Each vector is loaded once into a register: folded into the instructions that use it, the
// compiler would load the same bytes twice, and the loads are what limits the flame loop.
inline __m128i LoadOnce(const uint8_t* p)
{
    __m128i v = Load(p);
#ifdef __GNUC__
    __asm__("" : "+x"(v));
#endif
    return v;
}

inline __m128i Load32(const uint8_t* p)
{
    int32_t n;
    std::memcpy(&n, p, sizeof(n));
    return _mm_cvtsi32_si128(n);
}

// The truncated mean of four bytes without widening. pavgb rounds up, so nesting it gives
// m = ceil((ceil((a + b) / 2) + ceil((c + d) / 2)) / 2), which exceeds the truncated mean by
// one unless nothing was rounded: a + b and c + d both even, and their halves' sum even too.
inline __m128i Mean4Sse2(__m128i a, __m128i b, __m128i c, __m128i d)
{
    const __m128i one = _mm_set1_epi8(1);
    const __m128i ab = _mm_avg_epu8(a, b);
    const __m128i cd = _mm_avg_epu8(c, d);
    const __m128i rounded =
        _mm_or_si128(_mm_or_si128(_mm_xor_si128(a, b), _mm_xor_si128(c, d)), _mm_xor_si128(ab, cd));
    return _mm_sub_epi8(_mm_avg_epu8(ab, cd), _mm_and_si128(rounded, one));
}

void PropagateFlameSse2(uint8_t* pFlame, int nWidth, int nHeight)
{
    for (int n = nHeight - 2; n >= 0; --n)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(n) * nWidth;
        uint8_t* pBelow = pRow + nWidth;
        int x = 1;
        if (nWidth > VECTOR)
        {
            // The row's last vector is computed first, from the old values the main loop also
            // reads, and stored last: where the two overlap they write the same bytes.
            const int xLast = nWidth - VECTOR;
            const __m128i last =
                Mean4Sse2(LoadOnce(pBelow + xLast - 1), LoadOnce(pBelow + xLast + 1),
                          LoadOnce(pBelow + xLast), LoadOnce(pRow + xLast));
            for (; x + VECTOR <= nWidth; x += VECTOR)
            {
                const __m128i mean = Mean4Sse2(LoadOnce(pBelow + x - 1), LoadOnce(pBelow + x + 1),
                                               LoadOnce(pBelow + x), LoadOnce(pRow + x));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(pRow + x), mean);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pRow + xLast), last);
            x = nWidth;
        }
        for (; x < nWidth; ++x)
            pRow[x] = Mean4(pBelow[x - 1], pBelow[x], pBelow[x + 1], pRow[x]);
        FinishPass(pBelow, nWidth);
    }
    std::memcpy(pFlame, pFlame + nWidth, static_cast<size_t>(nWidth));
}

void ComposeOverlaySse2(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
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
} // namespace

#endif

// Wider forms for 64-bit hosts that have them, chosen when the program starts. The 32-bit
// Windows build keeps to its SSE2 baseline.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define VULKARA_WIDE_KERNELS 1
#include <immintrin.h>

namespace
{
constexpr int AVX2_VECTOR = 32;
constexpr int AVX512_VECTOR = 64;

// As LoadOnce, 32 bytes.
__attribute__((target("avx2"))) inline __m256i LoadAvx2(const uint8_t* p)
{
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    __asm__("" : "+x"(v));
    return v;
}

// The same mean as Mean4Sse2, 32 bytes at a time.
__attribute__((target("avx2"))) inline __m256i Mean4Avx2(__m256i a, __m256i b, __m256i c, __m256i d)
{
    const __m256i one = _mm256_set1_epi8(1);
    const __m256i ab = _mm256_avg_epu8(a, b);
    const __m256i cd = _mm256_avg_epu8(c, d);
    const __m256i rounded = _mm256_or_si256(
        _mm256_or_si256(_mm256_xor_si256(a, b), _mm256_xor_si256(c, d)), _mm256_xor_si256(ab, cd));
    return _mm256_sub_epi8(_mm256_avg_epu8(ab, cd), _mm256_and_si256(rounded, one));
}

__attribute__((target("avx2"))) void PropagateFlameAvx2(uint8_t* pFlame, int nWidth, int nHeight)
{
    for (int n = nHeight - 2; n >= 0; --n)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(n) * nWidth;
        uint8_t* pBelow = pRow + nWidth;
        int x = 1;
        if (nWidth > AVX2_VECTOR)
        {
            // The row's last vector is computed first, from the old values the main loop also
            // reads, and stored last: where the two overlap they write the same bytes.
            const int xLast = nWidth - AVX2_VECTOR;
            const __m256i last =
                Mean4Avx2(LoadAvx2(pBelow + xLast - 1), LoadAvx2(pBelow + xLast + 1),
                          LoadAvx2(pBelow + xLast), LoadAvx2(pRow + xLast));
            for (; x + AVX2_VECTOR <= nWidth; x += AVX2_VECTOR)
            {
                const __m256i mean = Mean4Avx2(LoadAvx2(pBelow + x - 1), LoadAvx2(pBelow + x + 1),
                                               LoadAvx2(pBelow + x), LoadAvx2(pRow + x));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(pRow + x), mean);
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(pRow + xLast), last);
            x = nWidth;
        }
        for (; x < nWidth; ++x)
            pRow[x] = Mean4(pBelow[x - 1], pBelow[x], pBelow[x + 1], pRow[x]);
        FinishPass(pBelow, nWidth);
    }
    std::memcpy(pFlame, pFlame + nWidth, static_cast<size_t>(nWidth));
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i LoadAvx512(const uint8_t* p)
{
    __m512i v = _mm512_loadu_si512(p);
    __asm__("" : "+v"(v));
    return v;
}

// The same mean as Mean4Sse2, 64 bytes at a time; one ternary logic op gathers the rounding.
__attribute__((target("avx512f,avx512bw"))) inline __m512i Mean4Avx512(__m512i a, __m512i b,
                                                                       __m512i c, __m512i d)
{
    const __m512i one = _mm512_set1_epi8(1);
    const __m512i ab = _mm512_avg_epu8(a, b);
    const __m512i cd = _mm512_avg_epu8(c, d);
    // 0xfe: A | B | C.
    const __m512i rounded = _mm512_ternarylogic_epi32(
        _mm512_xor_si512(a, b), _mm512_xor_si512(c, d), _mm512_xor_si512(ab, cd), 0xfe);
    return _mm512_sub_epi8(_mm512_avg_epu8(ab, cd), _mm512_and_si512(rounded, one));
}

__attribute__((target("avx512f,avx512bw"))) void PropagateFlameAvx512(uint8_t* pFlame, int nWidth,
                                                                      int nHeight)
{
    for (int n = nHeight - 2; n >= 0; --n)
    {
        uint8_t* pRow = pFlame + static_cast<size_t>(n) * nWidth;
        uint8_t* pBelow = pRow + nWidth;
        int x = 1;
        if (nWidth > AVX512_VECTOR)
        {
            // The row's last vector is computed first, from the old values the main loop also
            // reads, and stored last: where the two overlap they write the same bytes.
            const int xLast = nWidth - AVX512_VECTOR;
            const __m512i last =
                Mean4Avx512(LoadAvx512(pBelow + xLast - 1), LoadAvx512(pBelow + xLast + 1),
                            LoadAvx512(pBelow + xLast), LoadAvx512(pRow + xLast));
            for (; x + AVX512_VECTOR <= nWidth; x += AVX512_VECTOR)
            {
                const __m512i mean =
                    Mean4Avx512(LoadAvx512(pBelow + x - 1), LoadAvx512(pBelow + x + 1),
                                LoadAvx512(pBelow + x), LoadAvx512(pRow + x));
                _mm512_storeu_si512(pRow + x, mean);
            }
            _mm512_storeu_si512(pRow + xLast, last);
            x = nWidth;
        }
        for (; x < nWidth; ++x)
            pRow[x] = Mean4(pBelow[x - 1], pBelow[x], pBelow[x + 1], pRow[x]);
        FinishPass(pBelow, nWidth);
    }
    std::memcpy(pFlame, pFlame + nWidth, static_cast<size_t>(nWidth));
}

// Sixteen groups at once: a two-register byte permute picks every pixel's shifted desktop
// byte out of the 128 bytes that start at the chunk.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
ComposeOverlayVbmi(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
{
    alignas(64) uint8_t aRamp[AVX512_VECTOR];
    alignas(64) uint8_t aHeads[AVX512_VECTOR];
    for (int j = 0; j < AVX512_VECTOR; ++j)
    {
        aRamp[j] = static_cast<uint8_t>(j);
        aHeads[j] = static_cast<uint8_t>(j % 16 / GROUP * GROUP); // byte shuffles stay in lanes
    }
    const __m512i ramp = _mm512_load_si512(aRamp);
    const __m512i heads = _mm512_load_si512(aHeads);
    const __m512i shiftMask = _mm512_set1_epi8(0x3f);
    const __m512i heatMask = _mm512_set1_epi8(static_cast<char>(HEAT_GROUP_MASK));
    int p = 0;
    for (; p + AVX512_VECTOR <= nCount; p += AVX512_VECTOR)
    {
        const __m512i f = _mm512_loadu_si512(pFlame + p);
        const __m512i shift =
            _mm512_and_si512(_mm512_srli_epi16(_mm512_shuffle_epi8(f, heads), 2), shiftMask);
        const __m512i index = _mm512_add_epi8(shift, ramp);
        const __m512i d0 = _mm512_loadu_si512(pDesktop + p);
        const __m512i d1 = _mm512_loadu_si512(pDesktop + p + AVX512_VECTOR);
        const __m512i d = _mm512_permutex2var_epi8(d0, index, d1);
        _mm512_storeu_si512(pDest + p, _mm512_add_epi8(_mm512_and_si512(f, heatMask), d));
    }
    ComposeGroupTail(pDest, pFlame, pDesktop, p, nCount);
}

bool HasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool HasAvx512Vbmi()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
}
} // namespace

#endif

std::vector<FlameKernelVariant> GetFlameKernelVariants()
{
    std::vector<FlameKernelVariant> variants = {
        {"portable", PropagateFlamePortable, ComposeOverlayPortable}};
#ifdef __SSE2__
    variants.push_back({"sse2", PropagateFlameSse2, ComposeOverlaySse2});
#endif
#ifdef VULKARA_WIDE_KERNELS
    if (HasAvx2())
        variants.push_back({"avx2", PropagateFlameAvx2, variants.back().pOverlay});
    if (HasAvx512Vbmi())
        variants.push_back({"avx512vbmi", PropagateFlameAvx512, ComposeOverlayVbmi});
#endif
    return variants;
}

namespace
{
// The fastest form this processor runs; the last variant is the widest.
const FlameKernelVariant& BestVariant()
{
    static const FlameKernelVariant best = GetFlameKernelVariants().back();
    return best;
}
} // namespace

void PropagateFlame(uint8_t* pFlame, int nWidth, int nHeight)
{
    BestVariant().pPropagate(pFlame, nWidth, nHeight);
}

void ComposeOverlay(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
{
    BestVariant().pOverlay(pDest, pFlame, pDesktop, nCount);
}
