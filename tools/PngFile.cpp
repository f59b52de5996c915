#include "PngFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace
{
// libpng reports errors by jumping back to the setjmp, so nothing here may need unwinding.
bool WriteImage(png_structp pPng, png_infop pInfo, FILE* pFile, png_colorp pColours,
                png_bytepp ppRows, int nWidth, int nHeight)
{
    if (setjmp(png_jmpbuf(pPng)) != 0)
        return false;
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, static_cast<png_uint_32>(nWidth), static_cast<png_uint_32>(nHeight),
                 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(pPng, pInfo, pColours, PALETTE_SIZE);
    png_write_info(pPng, pInfo);
    png_write_rows(pPng, ppRows, static_cast<png_uint_32>(nHeight));
    png_write_end(pPng, pInfo);
    return true;
}
} // namespace

bool WritePng8(const std::string& strPath, const uint8_t* pFrame, int nWidth, int nHeight,
               const PaletteEntry aPalette[PALETTE_SIZE])
{
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng != nullptr ? png_create_info_struct(pPng) : nullptr;
    if (pInfo == nullptr)
    {
        png_destroy_write_struct(&pPng, nullptr);
        std::fclose(pFile);
        return false;
    }

    std::vector<png_color> colours(PALETTE_SIZE);
    for (int i = 0; i < PALETTE_SIZE; ++i)
        colours[i] = {aPalette[i].peRed, aPalette[i].peGreen, aPalette[i].peBlue};
    std::vector<png_bytep> rows(static_cast<size_t>(nHeight));
    for (int y = 0; y < nHeight; ++y)
        rows[y] = const_cast<png_bytep>(pFrame + static_cast<size_t>(y) * nWidth);

    const bool bWritten =
        WriteImage(pPng, pInfo, pFile, colours.data(), rows.data(), nWidth, nHeight);
    png_destroy_write_struct(&pPng, &pInfo);
    return std::fclose(pFile) == 0 && bWritten;
}
