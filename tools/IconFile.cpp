#include "IconFile.h"

#include "LittleEndian.h"

#include <cstddef>

namespace
{
constexpr int ICON_DIR_SIZE = 6;
constexpr int ICON_ENTRY_SIZE = 16;
constexpr int INFO_HEADER_SIZE = 40;
constexpr int BYTES_PER_PIXEL = 4;

int MaskStride(int nSize)
{
    return (nSize + 31) / 32 * 4;
}

// The image as the icon stores it: a bitmap header of double height (colour plus mask), the
// colour rows bottom-up, then the 1-bit mask, set where the image is transparent.
std::vector<uint8_t> BuildImage(const IconImage& image)
{
    const int n = image.nSize;
    std::vector<uint8_t> data;
    PutLe32(data, INFO_HEADER_SIZE);
    PutLe32(data, static_cast<uint32_t>(n));
    PutLe32(data, static_cast<uint32_t>(2 * n));
    PutLe16(data, 1);
    PutLe16(data, 32);
    PutLe32(data, 0);
    PutLe32(data, static_cast<uint32_t>(n * n * BYTES_PER_PIXEL + n * MaskStride(n)));
    for (int i = 0; i < 4; ++i)
        PutLe32(data, 0);
    for (int y = n - 1; y >= 0; --y)
    {
        const uint8_t* pRow = image.pixels.data() + static_cast<size_t>(y) * n * BYTES_PER_PIXEL;
        data.insert(data.end(), pRow, pRow + n * BYTES_PER_PIXEL);
    }
    for (int y = n - 1; y >= 0; --y)
    {
        std::vector<uint8_t> mask(static_cast<size_t>(MaskStride(n)), 0);
        for (int x = 0; x < n; ++x)
        {
            if (image.pixels[(static_cast<size_t>(y) * n + x) * BYTES_PER_PIXEL + 3] == 0)
                mask[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        data.insert(data.end(), mask.begin(), mask.end());
    }
    return data;
}
} // namespace

std::vector<uint8_t> BuildIconFile(const std::vector<IconImage>& images)
{
    std::vector<std::vector<uint8_t>> encoded;
    for (const IconImage& image : images)
        encoded.push_back(BuildImage(image));

    std::vector<uint8_t> data;
    PutLe16(data, 0);
    PutLe16(data, 1); // icon
    PutLe16(data, static_cast<uint16_t>(images.size()));
    uint32_t nOffset = ICON_DIR_SIZE + ICON_ENTRY_SIZE * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i)
    {
        data.push_back(static_cast<uint8_t>(images[i].nSize)); // 256 would be stored as 0
        data.push_back(static_cast<uint8_t>(images[i].nSize));
        data.push_back(0); // no colour table
        data.push_back(0);
        PutLe16(data, 1);
        PutLe16(data, 32);
        PutLe32(data, static_cast<uint32_t>(encoded[i].size()));
        PutLe32(data, nOffset);
        nOffset += static_cast<uint32_t>(encoded[i].size());
    }
    for (const std::vector<uint8_t>& image : encoded)
        data.insert(data.end(), image.begin(), image.end());
    return data;
}
