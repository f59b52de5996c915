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
