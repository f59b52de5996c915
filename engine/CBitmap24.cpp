#include "CBitmap24.h"

#include <climits>

bool CBitmap24::Create(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return false;
    const long long nStride = (3LL * nWidth + 3) & ~3LL;
    if (nStride > INT_MAX || nStride * nHeight > INT_MAX)
        return false;
    m_bits.assign(static_cast<size_t>(nStride * nHeight), 0);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nStride = static_cast<int>(nStride);
    return true;
}
