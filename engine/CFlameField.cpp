#include "CFlameField.h"

#include "EngineGlobals.h"
#include "FlameKernels.h"
#include "Random.h"

#include <cstddef>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr int SEED_STEPS = 7;   // steps from one seed line to the next
constexpr int SEED_LEVELS = 10; // subdivision levels below the top call: 1024 leaves
constexpr int SEED_LEAF_MAX = 253;
constexpr int SEED_END_RANGE = 255; // end values of a new line: rand() % 255
constexpr int SEED_SPREAD = 6;      // displacement range per pixel of interval width
} // namespace

void CFlameField::Create(int nWidth, int nHeight)
{
    Free();
    const size_t nWidthBytes = static_cast<size_t>(nWidth);
    m_flame.assign(nWidthBytes * (static_cast<size_t>(nHeight) + 1), 0);
    m_nHotWords = FlameHotWordsPerRow(nWidth);
    m_hot.assign(static_cast<size_t>(m_nHotWords) * (static_cast<size_t>(nHeight) + 1), 0);
    m_seedFrom.assign(nWidthBytes, 0);
    m_seedRow.assign(nWidthBytes, 0);
    m_seedTo.assign(nWidthBytes, 0);
    m_seedStep.assign(nWidthBytes, 0);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
}

void CFlameField::Free()
{
    decltype(m_flame)().swap(m_flame);
    std::vector<uint64_t>().swap(m_hot);
    std::vector<uint8_t>().swap(m_seedFrom);
    std::vector<uint8_t>().swap(m_seedRow);
    std::vector<uint8_t>().swap(m_seedTo);
    std::vector<int8_t>().swap(m_seedStep);
    m_nWidth = 0;
    m_nHeight = 0;
    m_nHotWords = 0;
}

uint8_t* CFlameField::GetWritableBuffer()
{
    MarkHot(0, 0, m_nWidth - 1, m_nHeight);
    return m_flame.data();
}

bool CFlameField::IsRowWarm(int y) const
{
    const uint64_t* pRow = m_hot.data() + static_cast<size_t>(y) * m_nHotWords;
    return std::any_of(pRow, pRow + m_nHotWords, [](uint64_t nWord) { return nWord != 0; });
}

void CFlameField::MarkHotClipped(int x0, int y0, int x1, int y1)
{
    if (m_nWidth == 0)
        return;
    FlagFlameChunks(m_hot.data(), m_nWidth, std::clamp(x0, 0, m_nWidth - 1), std::max(y0, 0),
                    std::clamp(x1, 0, m_nWidth - 1), std::min(y1, m_nHeight));
}

void CFlameField::WriteSeedRow()
{
    const int nPhase = g_nSeedPhase;
    const uint8_t* pFrom = m_seedFrom.data();
    const int8_t* pStep = m_seedStep.data();
    uint8_t* pRow = m_seedRow.data();
    for (int c = 0; c < m_nWidth; ++c)
    {
        // 0..255 whatever the phase: the line moves from one byte toward another in sevenths.
        const unsigned v = static_cast<unsigned>(pFrom[c] + pStep[c] * nPhase);
        // Squaring makes low seeds much darker than high ones.
        pRow[c] = static_cast<uint8_t>(v * v >> 8);
    }
    std::memcpy(WriteArea(0, m_nHeight - 1, m_nWidth, 1), pRow, static_cast<size_t>(m_nWidth));
}

void CFlameField::Propagate()
{
    PropagateFlame(m_flame.data(), m_nWidth, m_nHeight, m_hot.data());
}

void CFlameField::AdvanceSeed()
{
    if (++g_nSeedPhase < SEED_STEPS)
        return;
    std::copy(m_seedTo.begin(), m_seedTo.end(), m_seedFrom.begin());
    const int nRight = Random() % SEED_END_RANGE;
    const int nLeft = Random() % SEED_END_RANGE;
    g_nSeedDepth = 0;
    GenerateSeed(0, m_nWidth, static_cast<uint8_t>(nLeft), static_cast<uint8_t>(nRight));
    g_nSeedPhase = 0;

    // The step of the transition truncates toward zero, so a falling line never undershoots.
    for (int c = 0; c < m_nWidth; ++c)
        m_seedStep[c] = static_cast<int8_t>((m_seedTo[c] - m_seedFrom[c]) / SEED_STEPS);
}

// Midpoint subdivision biased upward. The ends are bytes, so the wide upper levels wrap into
// effectively random values while the narrow lower levels follow their neighbours: smooth
// runs with abrupt jumps, which give the flames their tongues.
void CFlameField::GenerateSeed(int x0, int x1, uint8_t nLeft, uint8_t nRight)
{
    const int d = x1 - x0;
    const int m = Random() % (SEED_SPREAD * std::abs(d) + 1) + (nLeft + nRight) / 2 - d;
    if (g_nSeedDepth >= SEED_LEVELS)
    {
        // A negative leaf (a cold stretch narrower than its width) stays cold.
        m_seedTo[x0] = static_cast<uint8_t>(std::clamp(m, 0, SEED_LEAF_MAX));
        return;
    }
    const int nLevel = ++g_nSeedDepth;
    const int nMid = (x0 + x1) >> 1;
    GenerateSeed(x0, nMid, nLeft, static_cast<uint8_t>(m));
    g_nSeedDepth = nLevel;
    GenerateSeed(nMid, x1, static_cast<uint8_t>(m), nRight);
}
