#include "BmpFile.h"

#include "LittleEndian.h"

#include "CBitmap24.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace
{
constexpr int FILE_HEADER_SIZE = 14;
constexpr int INFO_HEADER_SIZE = 40;
constexpr long long MAX_PICTURE_PIXELS = 1LL << 26; // far more than any screen

} // namespace

bool ReadBmp24(const std::string& strPath, CBitmap24& picture, std::string& strError)
{
    std::ifstream file(strPath, std::ios::binary);
    if (!file)
    {
        strError = "cannot open " + strPath;
        return false;
    }
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (data.size() < FILE_HEADER_SIZE + INFO_HEADER_SIZE || data[0] != 'B' || data[1] != 'M')
    {
        strError = strPath + " is not a Windows bitmap";
        return false;
    }
    const uint32_t nPixelOffset = ReadLe32(data, 10);
    const uint32_t nInfoSize = ReadLe32(data, 14);
    const int32_t nWidth = static_cast<int32_t>(ReadLe32(data, 18));
    const int32_t nRawHeight = static_cast<int32_t>(ReadLe32(data, 22));
    const uint16_t nBitCount = ReadLe16(data, 28);
    const uint32_t nCompression = ReadLe32(data, 30);
    if (nInfoSize < INFO_HEADER_SIZE || nBitCount != 24 || nCompression != 0)
    {
        strError = strPath + " is not an uncompressed 24-bit bitmap";
        return false;
    }
    const bool bTopDown = nRawHeight < 0;
    const long long nHeight = bTopDown ? -static_cast<long long>(nRawHeight) : nRawHeight;
    if (nWidth <= 0 || nHeight <= 0 || nWidth * nHeight > MAX_PICTURE_PIXELS)
    {
        strError = strPath + " has an unusable size";
        return false;
    }
    const size_t nStride = (3 * static_cast<size_t>(nWidth) + 3) & ~static_cast<size_t>(3);
    if (nPixelOffset > data.size() || data.size() - nPixelOffset < nStride * nHeight)
    {
        strError = strPath + " is truncated";
        return false;
    }
    if (!picture.Create(nWidth, static_cast<int>(nHeight)))
    {
        strError = strPath + " is too large";
        return false;
    }
    for (int y = 0; y < nHeight; ++y)
    {
        const int nFileRow = bTopDown ? static_cast<int>(nHeight) - 1 - y : y;
        const uint8_t* pSource = data.data() + nPixelOffset + nFileRow * nStride;
        std::copy(pSource, pSource + 3 * static_cast<size_t>(nWidth), picture.GetRow(y));
    }
    return true;
}

bool WriteBmp8(const std::string& strPath, const uint8_t* pFrame, int nWidth, int nHeight,
               const PaletteEntry aPalette[PALETTE_SIZE])
{
    const uint32_t nStride = (static_cast<uint32_t>(nWidth) + 3) & ~3u;
    const uint32_t nPixelOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + PALETTE_BYTES;
    const uint32_t nImageSize = nStride * static_cast<uint32_t>(nHeight);

    std::vector<uint8_t> data;
    data.push_back('B');
    data.push_back('M');
    PutLe32(data, nPixelOffset + nImageSize);
    PutLe32(data, 0);
    PutLe32(data, nPixelOffset);
    PutLe32(data, INFO_HEADER_SIZE);
    PutLe32(data, static_cast<uint32_t>(nWidth));
    PutLe32(data, static_cast<uint32_t>(nHeight)); // bottom-up
    PutLe16(data, 1);
    PutLe16(data, 8);
    PutLe32(data, 0); // BI_RGB
    PutLe32(data, nImageSize);
    PutLe32(data, 2835); // 72 dots per inch
    PutLe32(data, 2835);
    PutLe32(data, PALETTE_SIZE);
    PutLe32(data, 0);
    for (int i = 0; i < PALETTE_SIZE; ++i)
    {
        data.push_back(aPalette[i].peBlue);
        data.push_back(aPalette[i].peGreen);
        data.push_back(aPalette[i].peRed);
        data.push_back(0);
    }
    for (int y = nHeight - 1; y >= 0; --y)
    {
        const uint8_t* pRow = pFrame + static_cast<size_t>(y) * nWidth;
        data.insert(data.end(), pRow, pRow + nWidth);
        data.insert(data.end(), nStride - static_cast<uint32_t>(nWidth), 0);
    }

    std::ofstream file(strPath, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(file);
}
