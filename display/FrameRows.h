#pragma once

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

// Spreads nHeight packed rows of nWidth bytes, at the start of pBuffer, in place to rows
// nStride bytes apart (nStride >= nWidth). The bytes between the rows are left as they were.
void SpreadRows(uint8_t* pBuffer, int nWidth, int nHeight, int nStride);

// Copies packed rows into rows lPitch bytes apart.
void CopyRows(uint8_t* pDest, long lPitch, const uint8_t* pSource, int nWidth, int nHeight);

// Sets nWidth bytes of each of nHeight rows, lPitch bytes apart, to nValue.
void FillRows(uint8_t* pDest, long lPitch, int nWidth, int nHeight, uint8_t nValue);

// How many rows of an nWidth-pixel frame one SetDIBitsToDevice call should copy. Wine converts
// each copy through a scratch buffer in the screen's format, and one of a whole frame is mapped
// and unmapped on every call (an mmap/munmap pair per frame under strace): the page faults cost
// more than the copy. Bands of a quarter megabyte halve the saver's processor use there and
// cost nothing on Windows.
int GdiBandRows(int nWidth);

// Copies rows nTop .. nTop + nRows - 1 of an 8-bit top-down bitmap, rows nStride bytes apart,
// to the same rows of the device in one call. pInfo describes the whole bitmap; its height is
// changed for the call and put back. TRUE when the rows were copied.
BOOL SetDIBitsRows(HDC hDC, int nWidth, int nTop, int nRows, const uint8_t* pBits, int nStride,
                   BITMAPINFO* pInfo);

// Copies the nWidth x nRows pixels from (x, nTop) of a top-down bitmap, rows nStride bytes apart,
// to the same place on the device in one call; pInfo as above.
BOOL SetDIBitsRect(HDC hDC, int x, int nTop, int nWidth, int nRows, const uint8_t* pBits,
                   int nStride, BITMAPINFO* pInfo);

// Copies an 8-bit top-down bitmap of nWidth x nHeight pixels, rows nStride bytes apart, to
// (0, 0) of the device in bands of nBandRows rows. pInfo describes the whole bitmap; its height
// is changed for each band and put back. TRUE when every band was copied.
BOOL SetDIBitsInBands(HDC hDC, int nWidth, int nHeight, const uint8_t* pBits, int nStride,
                      BITMAPINFO* pInfo, int nBandRows);
