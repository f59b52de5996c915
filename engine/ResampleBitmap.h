#pragma once

class CBitmap24;

// A rectangle in memory rows and columns of a CBitmap24, right and bottom exclusive.
struct BitmapRect
{
    int nLeft;
    int nTop;
    int nRight;
    int nBottom;
};

// Bilinear scaling of the source rectangle onto the destination rectangle. Both rectangles
// must lie inside their pictures; the resampler reads nothing outside the source rectangle,
// whatever the two sizes.
void ResampleBitmap(CBitmap24& dest, const BitmapRect& destRect, const CBitmap24& source,
                    const BitmapRect& sourceRect);
