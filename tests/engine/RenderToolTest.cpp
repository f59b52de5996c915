#include "CFixedSettings.h"
#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace
{
namespace fs = std::filesystem;

class RenderTool : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("vulkara-render-test-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs the tool with the arguments and returns its exit code.
    int Run(const std::string& strArguments)
    {
        const std::string strCommand = std::string(VULKARA_RENDER_PATH) + " " + strArguments +
                                       " >" + (m_dir / "out.txt").string() + " 2>&1";
        const int nStatus = std::system(strCommand.c_str());
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    std::vector<uint8_t> Read(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    }

    std::string Path(const char* pszName) { return (m_dir / pszName).string(); }

    fs::path m_dir;
};

// A 24-bit bitmap file of a small gradient, stored top-down or bottom-up.
void WriteTestBmp(const std::string& strPath, int nWidth, int nHeight, bool bTopDown)
{
    const int nStride = (3 * nWidth + 3) & ~3;
    std::vector<uint8_t> data(54 + nStride * nHeight, 0);
    const auto Put32 = [&data](int nOffset, uint32_t nValue)
    {
        for (int i = 0; i < 4; ++i)
            data[nOffset + i] = static_cast<uint8_t>(nValue >> (8 * i));
    };
    data[0] = 'B';
    data[1] = 'M';
    Put32(2, static_cast<uint32_t>(data.size()));
    Put32(10, 54);
    Put32(14, 40);
    Put32(18, static_cast<uint32_t>(nWidth));
    Put32(22, static_cast<uint32_t>(bTopDown ? -nHeight : nHeight));
    data[26] = 1;
    data[28] = 24;
    for (int y = 0; y < nHeight; ++y) // y = 0 is the top of the picture
    {
        const int nFileRow = bTopDown ? y : nHeight - 1 - y;
        for (int x = 0; x < nWidth; ++x)
        {
            uint8_t* p = &data[54 + nFileRow * nStride + 3 * x];
            p[0] = static_cast<uint8_t>(x * 255 / nWidth);
            p[1] = static_cast<uint8_t>(y * 255 / nHeight);
            p[2] = 90;
        }
    }
    std::ofstream(strPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
}

TEST_F(RenderTool, BadArgumentsExitWithTwo)
{
    const char* cases[] = {
        "",
        "--width 64",
        "--height 64",
        "--width 64 --height",
        "--width abc --height 64",
        "--width 64 --height 64x",
        "--width 64 --height 64 --frames -1",
        "--width 64 --height 64 --seed -1",
        "--width 64 --height 64 --seed 4294967296",
        "--width 64 --height 64 --bogus 1",
        "--width 64 --height 64 extra",
        "--width 99999999999 --height 64",
        "--width 64 --height 64 --desktop /nonexistent/picture.bmp",
    };
    for (const char* pszArguments : cases)
        EXPECT_EQ(Run(pszArguments), 2) << pszArguments;
}

TEST_F(RenderTool, AnEngineThatCannotStartExitsWithOne)
{
    EXPECT_EQ(Run("--width 15 --height 64 --frames 1"), 1);
    EXPECT_EQ(Run("--width 64 --height 0 --frames 1"), 1);
}

TEST_F(RenderTool, RawOutputIsThePaletteAndTheFramesOfTheSaversRoad)
{
    constexpr int W = 48, H = 32, FRAMES = 12;
    ASSERT_EQ(Run("--width 48 --height 32 --frames 12 --seed 77 --burst-min 30 --burst-max 5 "
                  "--raw " +
                  Path("a.raw")),
              0);
    const std::vector<uint8_t> raw = Read(m_dir / "a.raw");
    ASSERT_EQ(raw.size(), static_cast<size_t>(PALETTE_BYTES + FRAMES * W * H));

    // The same run in this process: Init seeded with 77 here, the steps on a fresh thread.
    ResetEngineGlobals();
    SeedRandom(77);
    CFixedSettings settings;
    const int values[][2] = {{SETTING_XRES, W},
                             {SETTING_YRES, H},
                             {SETTING_SPARKLES_COUNT, 500},
                             {SETTING_FIREBALL_COUNT, 6},
                             {SETTING_FIREWORK_COUNT, 6},
                             {SETTING_FIREBALL_IN_FIREWORK_MAX, 30},
                             {SETTING_FIREBALL_IN_FIREWORK_MIN, 5},
                             {SETTING_FADE_SCREEN, 2}};
    for (const auto& value : values)
        settings.SetInt(value[0], value[1]);
    CNativeEnginePlatform platform;
    CVulkara engine(platform);
    ASSERT_TRUE(engine.Init(settings));
    std::vector<uint8_t> expected(PALETTE_BYTES);
    ASSERT_TRUE(engine.LoadPalette(reinterpret_cast<PaletteEntry*>(expected.data())));
    std::thread worker(
        [&]
        {
            std::vector<uint8_t> frame(W * H);
            for (int n = 0; n < FRAMES; ++n)
            {
                engine.Step();
                engine.Render(frame.data());
                expected.insert(expected.end(), frame.begin(), frame.end());
            }
        });
    worker.join();
    EXPECT_EQ(raw, expected);
}

TEST_F(RenderTool, ClassicRunsTheEngineAtTheClassicSizeAndStretchesItsFrames)
{
    // 2048x1152 has the classic size 1024x576, exactly half: each engine pixel a 2x2 block.
    constexpr int W = 1024, H = 576, FRAMES = 3;
    const std::string strCommon = "--frames 3 --seed 5 --fade 0 ";
    ASSERT_EQ(Run(strCommon + "--width 2048 --height 1152 --classic --raw " + Path("big.raw")), 0);
    ASSERT_EQ(Run(strCommon + "--width 1024 --height 576 --raw " + Path("small.raw")), 0);
    ASSERT_EQ(Run(strCommon + "--classic --width 1024 --height 576 --raw " + Path("same.raw")), 0);
    const std::vector<uint8_t> big = Read(m_dir / "big.raw");
    const std::vector<uint8_t> small = Read(m_dir / "small.raw");
    ASSERT_EQ(small.size(), static_cast<size_t>(PALETTE_BYTES + FRAMES * W * H));
    ASSERT_EQ(big.size(), static_cast<size_t>(PALETTE_BYTES + FRAMES * 4 * W * H));
    EXPECT_EQ(Read(m_dir / "same.raw"), small) << "a screen no wider than 1024 keeps its size";

    int nWrong = 0;
    for (int n = 0; n < FRAMES; ++n)
    {
        const uint8_t* pSmall = &small[PALETTE_BYTES + static_cast<size_t>(n) * W * H];
        const uint8_t* pBig = &big[PALETTE_BYTES + static_cast<size_t>(n) * 4 * W * H];
        for (int y = 0; y < 2 * H; ++y)
            for (int x = 0; x < 2 * W; ++x)
                nWrong += pBig[static_cast<size_t>(y) * 2 * W + x] != pSmall[(y / 2) * W + x / 2];
    }
    EXPECT_EQ(nWrong, 0);
    size_t nHot = 0;
    for (size_t i = PALETTE_BYTES; i < small.size(); ++i)
        nHot += small[i] != 0;
    EXPECT_GT(nHot, 0u) << "the comparison needs a fire to compare";
}

TEST_F(RenderTool, PngFramesAndDesktopPicturesInEitherRowOrder)
{
    WriteTestBmp(Path("up.bmp"), 70, 50, false);
    WriteTestBmp(Path("down.bmp"), 70, 50, true);
    const std::string strCommon = "--width 64 --height 40 --frames 3 --seed 9 --fade 1 ";
    ASSERT_EQ(Run(strCommon + "--desktop " + Path("up.bmp") + " --raw " + Path("up.raw") +
                  " --png-dir " + Path("png")),
              0);
    ASSERT_EQ(Run(strCommon + "--desktop " + Path("down.bmp") + " --raw " + Path("down.raw")), 0);
    ASSERT_EQ(Run(strCommon + "--raw " + Path("black.raw")), 0);

    const std::vector<uint8_t> up = Read(m_dir / "up.raw");
    EXPECT_EQ(up.size(), static_cast<size_t>(PALETTE_BYTES + 3 * 64 * 40));
    EXPECT_EQ(up, Read(m_dir / "down.raw"));
    EXPECT_NE(up, Read(m_dir / "black.raw")) << "the desktop shows through";

    int nPictures = 0;
    for (const auto& entry : fs::directory_iterator(m_dir / "png"))
    {
        const std::vector<uint8_t> png = Read(entry.path());
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(png[1], 'P');
        EXPECT_EQ(png[2], 'N');
        EXPECT_EQ(png[3], 'G');
        ++nPictures;
    }
    EXPECT_EQ(nPictures, 3);
}
} // namespace
