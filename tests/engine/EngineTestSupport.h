#pragma once

#include "CBitmap24.h"
#include "FlameKernels.h"
#include "LiteralLoops.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The first pixel of a W x (H+1) flame buffer, as "(row, column)", that holds heat in a chunk
// flagged cold; empty when there is none.
inline std::string FindUnflaggedHeat(const uint8_t* pFlame, const uint64_t* pHot, int nWidth,
                                     int nHeight)
{
    for (int y = 0; y <= nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            if (pFlame[static_cast<size_t>(y) * nWidth + x] != 0 &&
                !IsFlameChunkFlagged(pHot, nWidth, y, x))
                return "(" + std::to_string(y) + ", " + std::to_string(x) + ")";
        }
    }
    return "";
}

inline std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t nCount, int nMax = 255)
{
    std::uniform_int_distribution<int> byte(0, nMax);
    std::vector<uint8_t> bytes(nCount);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(byte(random));
    return bytes;
}

// A picture whose every pixel is (blue, green, red) = f(column, memory row).
template <typename Colour> CBitmap24 MakePicture(int nWidth, int nHeight, Colour colour)
{
    CBitmap24 picture;
    picture.Create(nWidth, nHeight);
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            const auto bgr = colour(x, y);
            uint8_t* p = picture.GetRow(y) + 3 * x;
            p[0] = bgr[0];
            p[1] = bgr[1];
            p[2] = bgr[2];
        }
    }
    return picture;
}
