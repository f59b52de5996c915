#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The little-endian fields of the Windows file formats the tools read and write.

inline void PutLe16(std::vector<uint8_t>& data, uint16_t nValue)
{
    data.push_back(static_cast<uint8_t>(nValue));
    data.push_back(static_cast<uint8_t>(nValue >> 8));
}

inline void PutLe32(std::vector<uint8_t>& data, uint32_t nValue)
{
    for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<uint8_t>(nValue >> (8 * i)));
}

inline uint16_t ReadLe16(const std::vector<uint8_t>& data, size_t nOffset)
{
    return static_cast<uint16_t>(data[nOffset] | data[nOffset + 1] << 8);
}

inline uint32_t ReadLe32(const std::vector<uint8_t>& data, size_t nOffset)
{
    return static_cast<uint32_t>(data[nOffset]) | static_cast<uint32_t>(data[nOffset + 1]) << 8 |
           static_cast<uint32_t>(data[nOffset + 2]) << 16 |
           static_cast<uint32_t>(data[nOffset + 3]) << 24;
}
