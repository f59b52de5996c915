#include "LiteralLoops.h"

void LiteralPropagate(uint8_t* F, int W, int H)
{
    for (int n = H - 2; n >= 0; --n)
    {
        for (int c = 0; c < W; ++c)
        {
            const int i = n * W + c + 1;
            F[i] = static_cast<uint8_t>((F[i + W - 1] + F[i + W] + F[i + W + 1] + F[i]) / 4);
        }
    }
    for (int c = 0; c < W; ++c)
        F[c] = F[W + c];
}

void LiteralOverlay(uint8_t* O, const uint8_t* F, const uint8_t* D, int nCount)
{
    for (int p = 0; p < nCount; p += 4)
    {
        const int s = F[p] / 4;
        for (int k = 0; k < 4 && p + k < nCount; ++k)
            O[p + k] = static_cast<uint8_t>((F[p + k] & ~7) + D[p + s + k]);
    }
}
