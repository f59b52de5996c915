#include "FrameRows.h"

#include <cstring>

namespace
{
constexpr int DIB_ROW_ALIGNMENT = 4;
}

int DibRowBytes(int nWidth)
{
    return (nWidth + DIB_ROW_ALIGNMENT - 1) / DIB_ROW_ALIGNMENT * DIB_ROW_ALIGNMENT;
}

void SpreadRows(uint8_t* pBuffer, int nWidth, int nHeight, int nStride)
{
    if (nStride == nWidth)
        return;
    // Bottom row first: every row moves towards the end, over rows already moved.
    for (int y = nHeight - 1; y > 0; --y)
        std::memmove(pBuffer + static_cast<long>(y) * nStride,
                     pBuffer + static_cast<long>(y) * nWidth, static_cast<size_t>(nWidth));
}

void CopyRows(uint8_t* pDest, long lPitch, const uint8_t* pSource, int nWidth, int nHeight)
{
    for (int y = 0; y < nHeight; ++y)
        std::memcpy(pDest + y * lPitch, pSource + static_cast<long>(y) * nWidth,
                    static_cast<size_t>(nWidth));
}

void FillRows(uint8_t* pDest, long lPitch, int nWidth, int nHeight, uint8_t nValue)
{
    for (int y = 0; y < nHeight; ++y)
        std::memset(pDest + y * lPitch, nValue, static_cast<size_t>(nWidth));
}
