#include "ResampleBitmap.h"

#include "CBitmap24.h"

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
constexpr int BYTES_PER_PIXEL = 3;
constexpr int WEIGHT_ONE = 255; // 8-bit weights: 0 keeps the first sample, 255 the second
constexpr int WEIGHT_SCALE = 256;

struct SampleEntry
{
    int nFirst;
    int nSecond;
    uint8_t nWeight;
};

// One entry per destination index: the two source indices around its centre and the weight
// of the second. The ratio is kept in single precision and the position in double, which
// fixes exactly which samples are taken.
std::vector<SampleEntry> BuildTable(int nDestSize, int nSourceStart, int nSourceSize)
{
    const float fRatio = static_cast<float>(nSourceSize) / static_cast<float>(nDestSize);
    const int nLast = nSourceStart + nSourceSize - 1;
    std::vector<SampleEntry> table(static_cast<size_t>(nDestSize));
    for (int i = 0; i < nDestSize; ++i)
    {
        // The first centres lie before the first source sample; they take it unblended.
        const double t = std::max(0.0, i * static_cast<double>(fRatio) - 0.5);
        const int n = static_cast<int>(t);
        SampleEntry& entry = table[static_cast<size_t>(i)];
        entry.nFirst = std::min(n + nSourceStart, nLast);
        entry.nSecond = std::min(entry.nFirst + 1, nLast);
        entry.nWeight = static_cast<uint8_t>(static_cast<int>((t - n) * WEIGHT_ONE));
    }
    // The last destination index must not reach past the source.
    if (!table.empty())
        table.back().nWeight = 0;
    return table;
}

inline void Blend(uint8_t* pOut, const uint8_t* pA, const uint8_t* pB, int w)
{
    if (w == 0)
    {
        std::copy(pA, pA + BYTES_PER_PIXEL, pOut);
        return;
    }
    if (w == WEIGHT_ONE)
    {
        std::copy(pB, pB + BYTES_PER_PIXEL, pOut);
        return;
    }
    for (int k = 0; k < BYTES_PER_PIXEL; ++k)
        pOut[k] = static_cast<uint8_t>((pA[k] * (WEIGHT_SCALE - w) + pB[k] * w) / WEIGHT_SCALE);
}
} // namespace

void ResampleBitmap(CBitmap24& dest, const BitmapRect& destRect, const CBitmap24& source,
                    const BitmapRect& sourceRect)
{
    const int nDestWidth = destRect.nRight - destRect.nLeft;
    const int nDestHeight = destRect.nBottom - destRect.nTop;
    const int nSourceWidth = sourceRect.nRight - sourceRect.nLeft;
    const int nSourceHeight = sourceRect.nBottom - sourceRect.nTop;
    if (nDestWidth <= 0 || nDestHeight <= 0 || nSourceWidth <= 0 || nSourceHeight <= 0)
        return;

    const std::vector<SampleEntry> columns = BuildTable(nDestWidth, sourceRect.nLeft, nSourceWidth);
    const std::vector<SampleEntry> rows = BuildTable(nDestHeight, sourceRect.nTop, nSourceHeight);

    for (int j = 0; j < nDestHeight; ++j)
    {
        const SampleEntry& row = rows[static_cast<size_t>(j)];
        const uint8_t* pRow0 = source.GetRow(row.nFirst);
        const uint8_t* pRow1 = source.GetRow(row.nSecond);
        uint8_t* pOut = dest.GetRow(j + destRect.nTop) + destRect.nLeft * BYTES_PER_PIXEL;
        for (int i = 0; i < nDestWidth; ++i, pOut += BYTES_PER_PIXEL)
        {
            const SampleEntry& column = columns[static_cast<size_t>(i)];
            const uint8_t* p00 = pRow0 + column.nFirst * BYTES_PER_PIXEL;
            const uint8_t* p01 = pRow0 + column.nSecond * BYTES_PER_PIXEL;
            uint8_t top[BYTES_PER_PIXEL];
            Blend(top, p00, p01, column.nWeight);
            if (row.nWeight == 0)
            {
                std::copy(top, top + BYTES_PER_PIXEL, pOut);
                continue;
            }
            const uint8_t* p10 = pRow1 + column.nFirst * BYTES_PER_PIXEL;
            const uint8_t* p11 = pRow1 + column.nSecond * BYTES_PER_PIXEL;
            uint8_t bottom[BYTES_PER_PIXEL];
            Blend(bottom, p10, p11, column.nWeight);
            Blend(pOut, top, bottom, row.nWeight);
        }
    }
}
