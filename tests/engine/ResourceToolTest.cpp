#include "FirePalette.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

class ResourceTool : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vulkara-resgen-test-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    int Run(const std::string& strArguments)
    {
        const std::string strCommand =
            std::string(VULKARA_RESGEN_PATH) + " " + strArguments + " 2>/dev/null";
        const int nStatus = std::system(strCommand.c_str());
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    // Generates the resource twice and checks that both runs give the same bytes.
    std::vector<uint8_t> Generate(const char* pszKind)
    {
        std::vector<uint8_t> runs[2];
        for (int i = 0; i < 2; ++i)
        {
            const fs::path path = m_dir / (std::string(pszKind) + std::to_string(i));
            EXPECT_EQ(Run(std::string(pszKind) + " " + path.string()), 0);
            std::ifstream file(path, std::ios::binary);
            runs[i].assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        EXPECT_EQ(runs[0], runs[1]) << pszKind << " differs between runs";
        return runs[0];
    }

    fs::path m_dir;
};

uint32_t Le32(const std::vector<uint8_t>& data, size_t nOffset)
{
    return data[nOffset] | data[nOffset + 1] << 8 | data[nOffset + 2] << 16 |
           static_cast<uint32_t>(data[nOffset + 3]) << 24;
}

uint16_t Le16(const std::vector<uint8_t>& data, size_t nOffset)
{
    return static_cast<uint16_t>(data[nOffset] | data[nOffset + 1] << 8);
}

TEST_F(ResourceTool, BadArgumentsExitWithTwo)
{
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(Run("palette"), 2);
    EXPECT_EQ(Run("sound " + (m_dir / "x").string()), 2);
    EXPECT_EQ(Run("palette " + (m_dir / "x").string() + " extra"), 2);
}

TEST_F(ResourceTool, PaletteIsTheFormulasThousandTwentyFourBytes)
{
    const std::vector<uint8_t> palette = Generate("palette");
    PaletteEntry aExpected[PALETTE_SIZE];
    BuildFirePalette(aExpected);
    ASSERT_EQ(palette.size(), static_cast<size_t>(PALETTE_BYTES));
    EXPECT_EQ(0, std::memcmp(palette.data(), aExpected, PALETTE_BYTES));
}

TEST_F(ResourceTool, WaveIsTenSecondsOfStereo8BitPcmThatLoopsWithoutAJump)
{
    const std::vector<uint8_t> wave = Generate("wave");
    ASSERT_GE(wave.size(), 44u);
    EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(wave, 4), wave.size() - 8);
    EXPECT_EQ(Le16(wave, 20), 1);     // PCM
    EXPECT_EQ(Le16(wave, 22), 2);     // channels
    EXPECT_EQ(Le32(wave, 24), 11025); // samples per second
    EXPECT_EQ(Le32(wave, 28), 22050); // bytes per second
    EXPECT_EQ(Le16(wave, 32), 2);     // block
    EXPECT_EQ(Le16(wave, 34), 8);     // bits
    EXPECT_EQ(std::string(wave.begin() + 36, wave.begin() + 40), "data");
    const size_t nData = Le32(wave, 40);
    ASSERT_EQ(nData, 10u * 11025 * 2);
    ASSERT_EQ(wave.size(), 44 + nData);

    // The step from the last sample to the first is no larger than the clip's typical step.
    for (int c = 0; c < 2; ++c)
    {
        long nSteps = 0;
        for (size_t i = 44 + c + 2; i < wave.size(); i += 2)
            nSteps += std::abs(wave[i] - wave[i - 2]);
        const double fMeanStep = static_cast<double>(nSteps) / (nData / 2 - 1);
        const int nLoopStep = std::abs(wave[44 + c] - wave[wave.size() - 2 + c]);
        EXPECT_LE(nLoopStep, 2 * fMeanStep + 1) << "channel " << c;
        EXPECT_GT(fMeanStep, 0.05) << "the clip is not silent";
    }
}

TEST_F(ResourceTool, BitmapIsAn8BitFireOf153By113)
{
    const std::vector<uint8_t> bitmap = Generate("bitmap");
    ASSERT_GE(bitmap.size(), 1078u);
    EXPECT_EQ(bitmap[0], 'B');
    EXPECT_EQ(bitmap[1], 'M');
    EXPECT_EQ(Le32(bitmap, 2), bitmap.size());
    EXPECT_EQ(Le32(bitmap, 10), 14u + 40 + 1024);
    EXPECT_EQ(Le32(bitmap, 18), 153u);
    EXPECT_EQ(Le32(bitmap, 22), 113u);
    EXPECT_EQ(Le16(bitmap, 28), 8);
    EXPECT_EQ(Le32(bitmap, 30), 0u);
    EXPECT_EQ(bitmap.size(), 1078u + 156 * 113);
    size_t nHot = 0;
    for (size_t i = 1078; i < bitmap.size(); ++i)
        nHot += bitmap[i] > 128;
    EXPECT_GT(nHot, 500u) << "the picture shows fire";
}

TEST_F(ResourceTool, IconHoldsThe16And32And48PixelImages)
{
    const std::vector<uint8_t> icon = Generate("icon");
    ASSERT_GE(icon.size(), 6u + 3 * 16);
    EXPECT_EQ(Le16(icon, 0), 0);
    EXPECT_EQ(Le16(icon, 2), 1);
    ASSERT_EQ(Le16(icon, 4), 3);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i)
    {
        const size_t nEntry = 6 + 16 * i;
        const int n = sizes[i];
        EXPECT_EQ(icon[nEntry], n);
        EXPECT_EQ(icon[nEntry + 1], n);
        EXPECT_EQ(Le16(icon, nEntry + 6), 32);
        const uint32_t nSize = Le32(icon, nEntry + 8);
        const uint32_t nOffset = Le32(icon, nEntry + 12);
        const uint32_t nMaskStride = (n + 31) / 32 * 4;
        EXPECT_EQ(nSize, 40 + 4u * n * n + nMaskStride * n);
        ASSERT_LE(nOffset + nSize, icon.size());
        EXPECT_EQ(Le32(icon, nOffset), 40u);
        EXPECT_EQ(Le32(icon, nOffset + 4), static_cast<uint32_t>(n));
        EXPECT_EQ(Le32(icon, nOffset + 8), 2u * n); // colour and mask
    }
}
} // namespace
