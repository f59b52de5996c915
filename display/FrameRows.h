#pragma once

#include <cstdint>

// Moving 8-bit frames between the engine's packed rows (width bytes each, no gaps) and the
// strided rows that the screen's surfaces and bitmaps use.

// The bytes GDI reads for one row of an 8-bit device-independent bitmap: the width rounded up
// to a whole number of DWORDs.
int DibRowBytes(int nWidth);

// Spreads nHeight packed rows of nWidth bytes, at the start of pBuffer, in place to rows
// nStride bytes apart (nStride >= nWidth). The bytes between the rows are left as they were.
void SpreadRows(uint8_t* pBuffer, int nWidth, int nHeight, int nStride);

// Copies packed rows into rows lPitch bytes apart.
void CopyRows(uint8_t* pDest, long lPitch, const uint8_t* pSource, int nWidth, int nHeight);

// Sets nWidth bytes of each of nHeight rows, lPitch bytes apart, to nValue.
void FillRows(uint8_t* pDest, long lPitch, int nWidth, int nHeight, uint8_t nValue);
