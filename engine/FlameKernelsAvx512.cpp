// Compiled for AVX-512 with the byte instructions; chosen at run time where the processor has
// them.

#include "FlameKernelsCommon.h"
#include "FlameKernelsWide.h"

#include <immintrin.h>

namespace
{
constexpr int VECTOR = 64;

// The mean of the SSE2 kernel, 64 bytes at a time; one ternary logic op gathers the rounding.
inline __m512i Mean4Avx512(__m512i a, __m512i b, __m512i c, __m512i d)
{
    const __m512i one = _mm512_set1_epi8(1);
    const __m512i ab = _mm512_avg_epu8(a, b);
    const __m512i cd = _mm512_avg_epu8(c, d);
    // 0xfe: A | B | C.
    const __m512i rounded = _mm512_ternarylogic_epi32(
        _mm512_xor_si512(a, b), _mm512_xor_si512(c, d), _mm512_xor_si512(ab, cd), 0xfe);
    return _mm512_sub_epi8(_mm512_avg_epu8(ab, cd), _mm512_and_si512(rounded, one));
}

struct Avx512Ops
{
    using Reg = __m512i;
    static constexpr int WIDTH = VECTOR;
    // Into a register once, as the narrower kernels do.
    static Reg Load(const uint8_t* p)
    {
        Reg v = _mm512_loadu_si512(p);
        __asm__("" : "+v"(v));
        return v;
    }
    static Reg Mean(Reg a, Reg b, Reg c, Reg d) { return Mean4Avx512(a, b, c, d); }
    static Reg KeepFirst(Reg v, Reg old) { return _mm512_mask_blend_epi8(1, v, old); }
    static void Store(uint8_t* p, Reg v) { _mm512_storeu_si512(p, v); }
    static Reg Or(Reg a, Reg b) { return _mm512_or_si512(a, b); }
    static Reg Zero() { return _mm512_setzero_si512(); }
    static bool IsZero(Reg v) { return _mm512_test_epi8_mask(v, v) == 0; }
};
} // namespace

void PropagateFlameAvx512(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot)
{
    PropagateInChunks<Avx512Ops>(pFlame, nWidth, nHeight, pHot);
}

namespace
{
// Sixteen groups at once: a two-register byte permute picks every pixel's shifted desktop
// byte out of the 128 bytes that start at the vector.
class COverlayVbmi
{
public:
    COverlayVbmi()
    {
        alignas(64) uint8_t aRamp[VECTOR];
        alignas(64) uint8_t aHeads[VECTOR];
        for (int j = 0; j < VECTOR; ++j)
        {
            aRamp[j] = static_cast<uint8_t>(j);
            aHeads[j] = static_cast<uint8_t>(j % 16 / GROUP * GROUP); // shuffles stay in lanes
        }
        m_ramp = _mm512_load_si512(aRamp);
        m_heads = _mm512_load_si512(aHeads);
    }

    void Compose(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop) const
    {
        const __m512i shiftMask = _mm512_set1_epi8(0x3f);
        const __m512i heatMask = _mm512_set1_epi8(static_cast<char>(HEAT_GROUP_MASK));
        const __m512i f = _mm512_loadu_si512(pFlame);
        const __m512i shift =
            _mm512_and_si512(_mm512_srli_epi16(_mm512_shuffle_epi8(f, m_heads), 2), shiftMask);
        const __m512i index = _mm512_add_epi8(shift, m_ramp);
        const __m512i d0 = _mm512_loadu_si512(pDesktop);
        const __m512i d1 = _mm512_loadu_si512(pDesktop + VECTOR);
        const __m512i d = _mm512_permutex2var_epi8(d0, index, d1);
        _mm512_storeu_si512(pDest, _mm512_add_epi8(_mm512_and_si512(f, heatMask), d));
    }

private:
    __m512i m_ramp;
    __m512i m_heads;
};
} // namespace

void ComposeOverlayVbmi(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop, int nCount)
{
    const COverlayVbmi overlay;
    int p = 0;
    for (; p + VECTOR <= nCount; p += VECTOR)
        overlay.Compose(pDest + p, pFlame + p, pDesktop + p);
    ComposeGroupTail(pDest, pFlame, pDesktop, p, nCount);
}

// Rows of whole chunks, each chunk one vector: a cold one is the desktop as it stands.
void ComposeOverlayChunksVbmi(uint8_t* pDest, const uint8_t* pFlame, const uint8_t* pDesktop,
                              int nWidth, int nHeight, const uint64_t* pHot)
{
    const COverlayVbmi overlay;
    const int nChunks = nWidth / VECTOR;
    const int nWords = (nChunks + 63) / 64;
    for (int y = 0; y < nHeight; ++y)
    {
        const uint64_t* pHotRow = pHot + static_cast<size_t>(y) * nWords;
        const size_t nRow = static_cast<size_t>(y) * nWidth;
        for (int c = 0; c < nChunks; ++c)
        {
            const size_t p = nRow + static_cast<size_t>(c) * VECTOR;
            if (IsFlagged(pHotRow, c))
                overlay.Compose(pDest + p, pFlame + p, pDesktop + p);
            else
                _mm512_storeu_si512(pDest + p, _mm512_loadu_si512(pDesktop + p));
        }
    }
}

namespace
{
// One byte of each of 64 pixels' colours: a two-register permute reaches entries 0-127 and
// another entries 128-255, by the index's lower seven bits; its top bit picks between them.
inline __m512i LookUpPlane(const uint8_t* pPlane, __m512i index, __mmask64 high)
{
    const __m512i low = _mm512_permutex2var_epi8(_mm512_load_si512(pPlane), index,
                                                 _mm512_load_si512(pPlane + VECTOR));
    const __m512i upper = _mm512_permutex2var_epi8(_mm512_load_si512(pPlane + 2 * VECTOR), index,
                                                   _mm512_load_si512(pPlane + 3 * VECTOR));
    return _mm512_mask_blend_epi8(high, low, upper);
}

// The unpacks of LookUpColoursVbmi interleave within 128-bit lanes, so the pixels are put in
// the order that makes their results come out in memory order: the byte at lane L, place
// 4k + i is pixel 16k + 4L + i.
struct LaneOrder
{
    alignas(64) uint8_t aOrder[VECTOR];
    constexpr LaneOrder() : aOrder()
    {
        for (int L = 0; L < 4; ++L)
            for (int k = 0; k < 4; ++k)
                for (int i = 0; i < 4; ++i)
                    aOrder[16 * L + 4 * k + i] = static_cast<uint8_t>(16 * k + 4 * L + i);
    }
};
constexpr LaneOrder LANE_ORDER;
} // namespace

void LookUpColoursVbmi(uint32_t* pDest, const uint8_t* pSource, int nCount,
                       const ColourTable& table)
{
    const __m512i order = _mm512_load_si512(LANE_ORDER.aOrder);
    int p = 0;
    for (; p + VECTOR <= nCount; p += VECTOR)
    {
        // A two-register permute of the vector with itself: the one-register form's header
        // warns of an uninitialised value with this compiler.
        const __m512i pixels = _mm512_loadu_si512(pSource + p);
        const __m512i index = _mm512_permutex2var_epi8(pixels, order, pixels);
        const __mmask64 high = _mm512_movepi8_mask(index);
        const __m512i b0 = LookUpPlane(table.aPlanes[0], index, high);
        const __m512i b1 = LookUpPlane(table.aPlanes[1], index, high);
        const __m512i b2 = LookUpPlane(table.aPlanes[2], index, high);
        const __m512i b3 = LookUpPlane(table.aPlanes[3], index, high);
        const __m512i low01 = _mm512_unpacklo_epi8(b0, b1);
        const __m512i high01 = _mm512_unpackhi_epi8(b0, b1);
        const __m512i low23 = _mm512_unpacklo_epi8(b2, b3);
        const __m512i high23 = _mm512_unpackhi_epi8(b2, b3);
        _mm512_storeu_si512(pDest + p, _mm512_unpacklo_epi16(low01, low23));
        _mm512_storeu_si512(pDest + p + 16, _mm512_unpackhi_epi16(low01, low23));
        _mm512_storeu_si512(pDest + p + 32, _mm512_unpacklo_epi16(high01, high23));
        _mm512_storeu_si512(pDest + p + 48, _mm512_unpackhi_epi16(high01, high23));
    }
    LookUpColoursPortable(pDest + p, pSource + p, nCount - p, table);
}
