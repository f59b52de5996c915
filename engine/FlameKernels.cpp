#include "FlameKernels.h"

#include "FlameKernelsCommon.h"
#include "FlameKernelsWide.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{
// One pixel at a time.
struct PortableOps
{
    using Reg = int;
    static constexpr int WIDTH = 1;
    static Reg Load(const uint8_t* p) { return *p; }
    static Reg Mean(Reg a, Reg b, Reg c, Reg d) { return Mean4(a, b, c, d); }
    static Reg KeepFirst(Reg, Reg old) { return old; }
    static void Store(uint8_t* p, Reg v) { *p = static_cast<uint8_t>(v); }
    static Reg Or(Reg a, Reg b) { return a | b; }
    static Reg Zero() { return 0; }
    static bool IsZero(Reg v) { return v == 0; }
};

void PropagateFlamePortable(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot)
{
    PropagateInChunks<PortableOps>(pFlame, nWidth, nHeight, pHot);
}
} // namespace

int FlameChunksPerRow(int nWidth)
{
    return ChunksPerRow(nWidth);
}

int FlameHotWordsPerRow(int nWidth)
{
    return (ChunksPerRow(nWidth) + 63) / 64;
}

int FlameChunkOf(int x)
{
    return x / FLAME_CHUNK;
}

void FlagFlameChunks(uint64_t* pHot, int nWidth, int x0, int y0, int x1, int y1)
{
    const int nWords = FlameHotWordsPerRow(nWidth);
    const int c0 = FlameChunkOf(x0), c1 = FlameChunkOf(x1);
    for (int w = c0 / 64; w <= c1 / 64; ++w)
    {
        const int j0 = w == c0 / 64 ? c0 % 64 : 0;
        const int j1 = w == c1 / 64 ? c1 % 64 : 63;
        const uint64_t nBits = ChunkBits(j0, j1 - j0 + 1);
        for (int y = y0; y <= y1; ++y)
            pHot[static_cast<size_t>(y) * nWords + w] |= nBits;
    }
}

bool IsFlameChunkFlagged(const uint64_t* pHot, int nWidth, int y, int x)
{
    return IsFlagged(pHot + static_cast<size_t>(y) * FlameHotWordsPerRow(nWidth), FlameChunkOf(x));
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

struct Sse2Ops
{
    using Reg = __m128i;
    static constexpr int WIDTH = VECTOR;
    static Reg Load(const uint8_t* p) { return LoadOnce(p); }
    static Reg Mean(Reg a, Reg b, Reg c, Reg d) { return Mean4Sse2(a, b, c, d); }
    static Reg KeepFirst(Reg v, Reg old)
    {
        const Reg first = _mm_cvtsi32_si128(0xff);
        return _mm_or_si128(_mm_and_si128(first, old), _mm_andnot_si128(first, v));
    }
    static void Store(uint8_t* p, Reg v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static Reg Or(Reg a, Reg b) { return _mm_or_si128(a, b); }
    static Reg Zero() { return _mm_setzero_si128(); }
    static bool IsZero(Reg v) { return _mm_movemask_epi8(_mm_cmpeq_epi8(v, Zero())) == 0xffff; }
};

void PropagateFlameSse2(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot)
{
    PropagateInChunks<Sse2Ops>(pFlame, nWidth, nHeight, pHot);
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

#ifdef VULKARA_WIDE_KERNELS
namespace
{
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
        {"portable", PropagateFlamePortable, ComposeOverlayPortable, LookUpColoursPortable}};
#ifdef __SSE2__
    variants.push_back({"sse2", PropagateFlameSse2, ComposeOverlaySse2, LookUpColoursPortable});
#endif
#ifdef VULKARA_WIDE_KERNELS
    if (HasAvx2())
        variants.push_back(
            {"avx2", PropagateFlameAvx2, variants.back().pOverlay, variants.back().pLookUp});
    if (HasAvx512Vbmi())
        variants.push_back(
            {"avx512vbmi", PropagateFlameAvx512, ComposeOverlayVbmi, LookUpColoursVbmi});
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

void PropagateFlame(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot)
{
    BestVariant().pPropagate(pFlame, nWidth, nHeight, pHot);
}

void ComposeOverlay(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
{
    BestVariant().pOverlay(pDest, pFlame, pDesktop, nCount);
}

void MakeColourTable(ColourTable& table, const uint32_t* pColours)
{
    for (int i = 0; i < 256; ++i)
    {
        table.aColours[i] = pColours[i];
        for (int b = 0; b < 4; ++b)
            table.aPlanes[b][i] = static_cast<uint8_t>(pColours[i] >> (8 * b));
    }
}

void LookUpColoursPortable(uint32_t* pDest, const uint8_t* pSource, int nCount,
                           const ColourTable& table)
{
    for (int i = 0; i < nCount; ++i)
        pDest[i] = table.aColours[pSource[i]];
}

void LookUpColours(uint32_t* pDest, const uint8_t* pSource, int nCount, const ColourTable& table)
{
    BestVariant().pLookUp(pDest, pSource, nCount, table);
}

namespace
{
// Hot spans start and end on multiples of this many pixels of the frame: whole overlay groups,
// and whole vectors for the overlay's widest form, which leaves only the frame's end to its
// scalar tail.
constexpr int SPAN_ALIGN = 64;
static_assert(SPAN_ALIGN % GROUP == 0, "a span holds whole groups");

// Copies and clears of whole spans, without the runtime: on 32-bit Windows its memcpy and
// memset (a call per span) took about 6 % of the saver's time in its profile. The values go
// through a register the compiler cannot see into, or it would turn the loops back into calls.
#ifdef __SSE2__
void CopySpan(uint8_t* pDest, const uint8_t* pSource, int nCount)
{
    int p = 0;
    for (; p + VECTOR <= nCount; p += VECTOR)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDest + p), LoadOnce(pSource + p));
    if (p < nCount) // the frame's end: spans are otherwise whole vectors
        std::memcpy(pDest + p, pSource + p, static_cast<size_t>(nCount - p));
}

void ClearSpan(uint8_t* pDest, int nCount)
{
    __m128i zero = _mm_setzero_si128();
#ifdef __GNUC__
    __asm__("" : "+x"(zero));
#endif
    int p = 0;
    for (; p + VECTOR <= nCount; p += VECTOR)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDest + p), zero);
    if (p < nCount)
        std::memset(pDest + p, 0, static_cast<size_t>(nCount - p));
}
#else
void CopySpan(uint8_t* pDest, const uint8_t* pSource, int nCount)
{
    std::memcpy(pDest, pSource, static_cast<size_t>(nCount));
}

void ClearSpan(uint8_t* pDest, int nCount)
{
    std::memset(pDest, 0, static_cast<size_t>(nCount));
}
#endif

// Splits the W x H frame into spans of pixels, in order: onHot gets those in flagged chunks,
// widened to SPAN_ALIGN, onCold the rest, whose flame is all zero.
template <class HotSpan, class ColdSpan>
void ForEachSpan(int nWidth, int nHeight, const uint64_t* pHot, HotSpan onHot, ColdSpan onCold)
{
    const int nWords = FlameHotWordsPerRow(nWidth);
    const int nCount = nWidth * nHeight;
    int p = 0; // where the next span starts
    for (int y = 0; y < nHeight; ++y)
    {
        const uint64_t* pRow = pHot + static_cast<size_t>(y) * nWords;
        const int nRowStart = y * nWidth;
        for (int w = 0; w < nWords; ++w)
        {
            for (uint64_t nBits = pRow[w]; nBits != 0;)
            {
                int j0;
                const int nRun = TakeLowestRun(nBits, j0);
                const int c0 = w * 64 + j0;
                const int x0 = c0 * FLAME_CHUNK;
                const int x1 = std::min(nWidth, (c0 + nRun) * FLAME_CHUNK);
                const int p0 = (nRowStart + x0) / SPAN_ALIGN * SPAN_ALIGN;
                const int p1 =
                    std::min(nCount, (nRowStart + x1 + SPAN_ALIGN - 1) / SPAN_ALIGN * SPAN_ALIGN);
                if (p0 > p)
                    onCold(p, p0);
                if (p1 > std::max(p0, p))
                    onHot(std::max(p0, p), p1);
                p = std::max(p, p1);
            }
        }
    }
    if (p < nCount)
        onCold(p, nCount);
}
} // namespace

void ComposeOverlayFrame(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nWidth,
                         int nHeight, const uint64_t* pHot)
{
#ifdef VULKARA_WIDE_KERNELS
    if (nWidth % FLAME_CHUNK == 0 && BestVariant().pOverlay == ComposeOverlayVbmi)
    {
        ComposeOverlayChunksVbmi(pDest, pFlame, pDesktop, nWidth, nHeight, pHot);
        return;
    }
#endif
    ForEachSpan(
        nWidth, nHeight, pHot,
        [&](int p0, int p1) { ComposeOverlay(pDest + p0, pFlame + p0, pDesktop + p0, p1 - p0); },
        [&](int p0, int p1) { CopySpan(pDest + p0, pDesktop + p0, p1 - p0); });
}

void CopyFlameFrame(uint8_t* pDest, const uint8_t* pFlame, int nWidth, int nHeight,
                    const uint64_t* pHot)
{
    ForEachSpan(
        nWidth, nHeight, pHot, [&](int p0, int p1) { CopySpan(pDest + p0, pFlame + p0, p1 - p0); },
        [&](int p0, int p1) { ClearSpan(pDest + p0, p1 - p0); });
}
