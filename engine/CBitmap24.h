#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 24-bit picture laid out like a bottom-up DIB section: memory row 0 is the bottom of the
// picture, pixels are blue, green, red, and every row is padded to a multiple of 4 bytes.
class CBitmap24
{
public:
    CBitmap24() = default;

    // Allocates a black picture; false for a size that is empty or too large to address.
    bool Create(int nWidth, int nHeight);

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetStride() const { return m_nStride; }
    uint8_t* GetBits() { return m_bits.data(); }
    const uint8_t* GetBits() const { return m_bits.data(); }

    // The first byte of memory row nRow (0 = bottom of the picture).
    uint8_t* GetRow(int nRow) { return m_bits.data() + static_cast<size_t>(nRow) * m_nStride; }
    const uint8_t* GetRow(int nRow) const
    {
        return m_bits.data() + static_cast<size_t>(nRow) * m_nStride;
    }

private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;
    std::vector<uint8_t> m_bits;
};
