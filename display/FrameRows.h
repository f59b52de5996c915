#pragma once

#include "FlameKernels.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Moving 8-bit frames between the engine's packed rows (width bytes each, no gaps) and the
// strided rows that the screen's surfaces and bitmaps use.

// The bytes GDI reads for one row of an 8-bit device-independent bitmap: the width rounded up
// to a whole number of DWORDs.
int DibRowBytes(int nWidth);

// Makes info the header and colour table of an 8-bit top-down bitmap of nWidth x nHeight in
// the scene's colours (any palette entry with peRed, peGreen and peBlue). Throws
// std::bad_alloc when memory runs out.
template <class Entry>
void MakeEightBitDibInfo(std::vector<uint8_t>& info, int nWidth, int nHeight, const Entry* pScene)
{
    constexpr int nColours = 256;
    info.assign(sizeof(BITMAPINFOHEADER) + nColours * sizeof(RGBQUAD), 0);
    BITMAPINFO* pInfo = reinterpret_cast<BITMAPINFO*>(info.data());
    BITMAPINFOHEADER& header = pInfo->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nWidth;
    header.biHeight = -nHeight; // top row first, as the engine writes
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    for (int i = 0; i < nColours; ++i)
    {
        RGBQUAD& colour = pInfo->bmiColors[i];
        colour.rgbRed = pScene[i].peRed;
        colour.rgbGreen = pScene[i].peGreen;
        colour.rgbBlue = pScene[i].peBlue;
    }
}

// The screen's pixel for each of the 256 colours of the scene, as a 32-bit bitmap holds it
// (0x00RRGGBB).
template <class Entry> void MakeScreenColours(ColourTable& table, const Entry* pScene)
{
    uint32_t aColours[256];
    for (int i = 0; i < 256; ++i)
        aColours[i] = static_cast<uint32_t>(pScene[i].peRed) << 16 |
                      static_cast<uint32_t>(pScene[i].peGreen) << 8 | pScene[i].peBlue;
    MakeColourTable(table, aColours);
}

// Spreads nHeight packed rows of nWidth bytes, at the start of pBuffer, in place to rows
// nStride bytes apart (nStride >= nWidth). The bytes between the rows are left as they were.
void SpreadRows(uint8_t* pBuffer, int nWidth, int nHeight, int nStride);

// Copies packed rows into rows lPitch bytes apart.
void CopyRows(uint8_t* pDest, long lPitch, const uint8_t* pSource, int nWidth, int nHeight);

// Sets nWidth bytes of each of nHeight rows, lPitch bytes apart, to nValue.
void FillRows(uint8_t* pDest, long lPitch, int nWidth, int nHeight, uint8_t nValue);

// How many rows of an nWidth-pixel frame one SetDIBitsToDevice call should copy: a quarter
// megabyte of screen pixels. Each copy goes through a buffer in the screen's format, ours or
// Wine's, and one of a whole frame costs more in page faults than the copy itself (Wine maps
// and unmaps its own on every call); one of a band stays in the cache.
int GdiBandRows(int nWidth);

// Copies the nWidth x nRows pixels from (x, nTop) of an 8-bit frame, rows nStride bytes apart,
// to the same place on the device in one call, as 32-bit pixels of the table: converted here
// into pScratch (room for nWidth x nRows pixels), since Wine's own conversion of 8-bit bitmaps
// costs more than ours and a copy. TRUE when the pixels were copied.
BOOL SetScreenPixelsRect(HDC hDC, int x, int nTop, int nWidth, int nRows, const uint8_t* pBits,
                         int nStride, const ColourTable& colours, uint32_t* pScratch);
// Copies nWidth x nRows packed 32-bit pixels to (x, nTop) on the device in one call. TRUE when
// the pixels were copied.
BOOL SetScreenPixels(HDC hDC, int x, int nTop, int nWidth, int nRows, const uint32_t* pPixels);
