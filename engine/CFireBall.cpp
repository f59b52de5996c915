#include "CFireBall.h"

#include "CVulkara.h"
#include "FireBallSprite.h"
#include "Random.h"

#include <cstddef>
#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{
constexpr int MAX_HEAT = 250;
constexpr int MAX_SPEED = 5;
constexpr int MAX_DHEAT = 4;
constexpr int TURN_CHANCE = 3; // one step in three may change a speed

#ifdef __SSE2__
constexpr int LANES = 16; // a sprite row and the bytes after it, rewritten unchanged

// The sprite widened to 16-bit lanes, a row of the picture per two registers.
struct SpriteLanes
{
    alignas(16) uint16_t aRows[SPRITE_SIZE][LANES];
};

const SpriteLanes& GetSpriteLanes()
{
    static const SpriteLanes lanes = []
    {
        SpriteLanes result = {};
        for (int r = 0; r < SPRITE_SIZE; ++r)
            for (int c = 0; c < SPRITE_SIZE; ++c)
                result.aRows[r][c] = g_FireBallSprite[r][c];
        return result;
    }();
    return lanes;
}

// Eight pixels of one sprite row: sum clamped at 250 where the sprite is set, the byte kept
// where it is 0 (a rare seed byte above 250 must survive).
inline __m128i AddSprite(__m128i pixels, const uint16_t* pSprite, __m128i heat)
{
    const __m128i sprite = _mm_load_si128(reinterpret_cast<const __m128i*>(pSprite));
    const __m128i add = _mm_srli_epi16(_mm_mullo_epi16(sprite, heat), 8);
    const __m128i sum = _mm_min_epi16(_mm_add_epi16(pixels, add), _mm_set1_epi16(MAX_HEAT));
    const __m128i clear = _mm_cmpeq_epi16(sprite, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(clear, pixels), _mm_andnot_si128(clear, sum));
}
#endif
} // namespace

CFireBall::CFireBall(CVulkara& engine)
{
    m_nX = Random() % engine.GetWidth();
    m_nY = Random() % engine.GetHeight();
    m_nDx = Random() % 3 - 1;
    m_nHeat = 0;
    m_nDy = Random() % 3 - 1;
    m_nDHeat = Random() % 5;
}

bool CFireBall::Move(CVulkara& engine)
{
    const int nWidth = engine.GetWidth();
    const int nHeight = engine.GetHeight();

    if (m_nX + m_nDx >= nWidth - SPRITE_SIZE || m_nX + m_nDx < 0)
        m_nDx = -m_nDx;
    if (m_nY + m_nDy >= nHeight - SPRITE_SIZE || m_nY + m_nDy < 0)
        m_nDy = -m_nDy;
    m_nX += m_nDx;
    m_nY += m_nDy;

    if (Random() % TURN_CHANCE == 0)
        m_nDx += Random() % 3 - 1;
    if (Random() % TURN_CHANCE == 0)
        m_nDy += Random() % 3 - 1;
    m_nDx = std::clamp(m_nDx, -MAX_SPEED, MAX_SPEED);
    m_nDy = std::clamp(m_nDy, -MAX_SPEED, MAX_SPEED);

    m_nDHeat += Random() % 5 - 2;
    if (m_nHeat + m_nDHeat > MAX_HEAT || m_nHeat + m_nDHeat < 0)
        m_nDHeat = -m_nDHeat;
    m_nHeat += m_nDHeat;
    m_nDHeat = std::clamp(m_nDHeat, -MAX_DHEAT, MAX_DHEAT);
    return true;
}

bool CFireBall::Draw(CVulkara& engine) const
{
    const int nWidth = engine.GetWidth();
    const int nHeight = engine.GetHeight();
    if (m_nX < 0 || m_nY < 0 || m_nX >= nWidth - SPRITE_SIZE || m_nY >= nHeight - SPRITE_SIZE ||
        m_nHeat <= 0)
        return false;
    uint8_t* pSprite = engine.GetFlameField().WriteArea(m_nX, m_nY, SPRITE_SIZE, SPRITE_SIZE);

#ifdef __SSE2__
    // 16 bytes from a sprite row stay inside the buffer: the sprite ends 10 or more bytes
    // before its row does, and the row below it exists. Products fit 16 bits up to heat 257.
    if (m_nHeat <= MAX_HEAT)
    {
        const SpriteLanes& lanes = GetSpriteLanes();
        const __m128i heat = _mm_set1_epi16(static_cast<short>(m_nHeat));
        const __m128i zero = _mm_setzero_si128();
        for (int r = 0; r < SPRITE_SIZE; ++r)
        {
            __m128i* pRow = reinterpret_cast<__m128i*>(pSprite + static_cast<size_t>(r) * nWidth);
            const __m128i pixels = _mm_loadu_si128(pRow);
            const __m128i lo = AddSprite(_mm_unpacklo_epi8(pixels, zero), lanes.aRows[r], heat);
            const __m128i hi = AddSprite(_mm_unpackhi_epi8(pixels, zero), lanes.aRows[r] + 8, heat);
            _mm_storeu_si128(pRow, _mm_packus_epi16(lo, hi));
        }
        return true;
    }
#endif
    for (int r = 0; r < SPRITE_SIZE; ++r)
    {
        uint8_t* pRow = pSprite + static_cast<size_t>(r) * nWidth;
        for (int c = 0; c < SPRITE_SIZE; ++c)
        {
            const int s = g_FireBallSprite[r][c];
            if (s != 0)
                pRow[c] = static_cast<uint8_t>(std::min(MAX_HEAT, pRow[c] + s * m_nHeat / 256));
        }
    }
    return true;
}
