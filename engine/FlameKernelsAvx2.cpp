// Compiled for AVX2; chosen at run time where the processor has it.

#include "FlameKernelsCommon.h"
#include "FlameKernelsWide.h"

#include <immintrin.h>

namespace
{
// The mean of the SSE2 kernel, 32 bytes at a time: pavgb rounds up, so the nested average
// exceeds the truncated mean by one unless nothing was rounded.
inline __m256i Mean4Avx2(__m256i a, __m256i b, __m256i c, __m256i d)
{
    const __m256i one = _mm256_set1_epi8(1);
    const __m256i ab = _mm256_avg_epu8(a, b);
    const __m256i cd = _mm256_avg_epu8(c, d);
    const __m256i rounded = _mm256_or_si256(
        _mm256_or_si256(_mm256_xor_si256(a, b), _mm256_xor_si256(c, d)), _mm256_xor_si256(ab, cd));
    return _mm256_sub_epi8(_mm256_avg_epu8(ab, cd), _mm256_and_si256(rounded, one));
}

struct Avx2Ops
{
    using Reg = __m256i;
    static constexpr int WIDTH = 32;
    // Into a register once: folded into the instructions that use it, the compiler would load
    // the same bytes twice, and the loads are what limits the loop.
    static Reg Load(const uint8_t* p)
    {
        Reg v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        __asm__("" : "+x"(v));
        return v;
    }
    static Reg Mean(Reg a, Reg b, Reg c, Reg d) { return Mean4Avx2(a, b, c, d); }
    static Reg KeepFirst(Reg v, Reg old)
    {
        const Reg first = _mm256_setr_epi64x(0xff, 0, 0, 0);
        return _mm256_blendv_epi8(v, old, first);
    }
    static void Store(uint8_t* p, Reg v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Reg Or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    static Reg Zero() { return _mm256_setzero_si256(); }
    static bool IsZero(Reg v) { return _mm256_testz_si256(v, v) != 0; }
};
} // namespace

void PropagateFlameAvx2(uint8_t* pFlame, int nWidth, int nHeight, uint64_t* pHot)
{
    PropagateInChunks<Avx2Ops>(pFlame, nWidth, nHeight, pHot);
}
