#include "FirePalette.h"

#include <algorithm>

void BuildFirePalette(PaletteEntry aPalette[PALETTE_SIZE])
{
    for (int i = 0; i < PALETTE_SIZE; ++i)
    {
        const long long n = i;
        aPalette[i].peRed = static_cast<uint8_t>(std::min<long long>(255, 3 * n / 2));
        aPalette[i].peGreen = static_cast<uint8_t>(std::min<long long>(255, n * n * n / 26880));
        aPalette[i].peBlue = static_cast<uint8_t>(n * n * n * n >> 24);
        aPalette[i].peFlags = 0;
    }
}
