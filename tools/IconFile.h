#pragma once

#include <cstdint>
#include <vector>

// One square 32-bit image of an icon: rows top first, four bytes a pixel, blue, green, red,
// alpha.
struct IconImage
{
    int nSize;
    std::vector<uint8_t> pixels;
};

// A complete Windows .ico file holding the images in the given order.
std::vector<uint8_t> BuildIconFile(const std::vector<IconImage>& images);
