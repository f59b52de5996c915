// Generates the program's binary resources from code at build time, the same bytes on every
// run: the fire palette, the background sound, the dialogs' picture and the icon.
//
//   vulkara-resgen palette|wave|bitmap|icon OUT

#include "BmpFile.h"
#include "CFixedSettings.h"
#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "FirePalette.h"
#include "FireWave.h"
#include "IconFile.h"
#include "Random.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace
{
constexpr int EXIT_BAD_ARGUMENTS = 2;
constexpr int EXIT_FAILED = 1;

constexpr int BITMAP_WIDTH = 153;
constexpr int BITMAP_HEIGHT = 113;
constexpr int ICON_FIRE_SIZE = 96; // rendered once, then scaled down to each icon size
const int ICON_SIZES[] = {16, 32, 48};

// A fixed scene: the start-up seed and the number of steps after which the frame is taken.
struct FireScene
{
    int nWidth;
    int nHeight;
    int nSparkles;
    int nFireBalls;
    int nFireWorks;
    unsigned int nSeed;
    int nSteps;
};

constexpr FireScene BITMAP_SCENE = {BITMAP_WIDTH, BITMAP_HEIGHT, 60, 2, 1, 2021, 90};
constexpr FireScene ICON_SCENE = {ICON_FIRE_SIZE, ICON_FIRE_SIZE, 30, 1, 0, 7, 60};

// Runs the engine the way the saver does (start-up seed, then steps from a generator that
// starts at 1) and returns the last frame with its palette.
bool RenderScene(const FireScene& scene, std::vector<uint8_t>& frame,
                 PaletteEntry aPalette[PALETTE_SIZE])
{
    CFixedSettings settings;
    settings.SetInt(SETTING_XRES, scene.nWidth);
    settings.SetInt(SETTING_YRES, scene.nHeight);
    settings.SetInt(SETTING_SPARKLES_COUNT, scene.nSparkles);
    settings.SetInt(SETTING_FIREBALL_COUNT, scene.nFireBalls);
    settings.SetInt(SETTING_FIREWORK_COUNT, scene.nFireWorks);
    settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MAX, 30);
    settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MIN, 10);

    CNativeEnginePlatform platform;
    ResetEngineGlobals();
    SeedRandom(scene.nSeed);
    CVulkara engine(platform);
    if (!engine.Init(settings) || !engine.LoadPalette(aPalette))
        return false;
    SeedRandom(1);
    for (int i = 0; i < scene.nSteps; ++i)
        engine.Step();
    frame.assign(static_cast<size_t>(scene.nWidth) * scene.nHeight, 0);
    return engine.Render(frame.data());
}

bool WriteFile(const std::string& strPath, const void* pData, size_t nSize)
{
    std::ofstream file(strPath, std::ios::binary);
    file.write(static_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    file.close();
    return !file.fail();
}

bool MakePalette(const std::string& strPath)
{
    PaletteEntry aPalette[PALETTE_SIZE];
    BuildFirePalette(aPalette);
    return WriteFile(strPath, aPalette, PALETTE_BYTES);
}

bool MakeWave(const std::string& strPath)
{
    const std::vector<uint8_t> wave = BuildFireWave();
    return WriteFile(strPath, wave.data(), wave.size());
}

bool MakeBitmap(const std::string& strPath)
{
    std::vector<uint8_t> frame;
    PaletteEntry aPalette[PALETTE_SIZE];
    return RenderScene(BITMAP_SCENE, frame, aPalette) &&
           WriteBmp8(strPath, frame.data(), BITMAP_WIDTH, BITMAP_HEIGHT, aPalette);
}

// Box-filters the fire down to nSize; the fire's own brightness is the alpha, so the dark
// background is transparent.
IconImage ScaleIcon(const std::vector<uint8_t>& frame, const PaletteEntry aPalette[PALETTE_SIZE],
                    int nSize)
{
    IconImage image{nSize, std::vector<uint8_t>(static_cast<size_t>(nSize) * nSize * 4, 0)};
    for (int y = 0; y < nSize; ++y)
    {
        for (int x = 0; x < nSize; ++x)
        {
            const int x0 = x * ICON_FIRE_SIZE / nSize, x1 = (x + 1) * ICON_FIRE_SIZE / nSize;
            const int y0 = y * ICON_FIRE_SIZE / nSize, y1 = (y + 1) * ICON_FIRE_SIZE / nSize;
            int nRed = 0, nGreen = 0, nBlue = 0;
            for (int sy = y0; sy < y1; ++sy)
            {
                for (int sx = x0; sx < x1; ++sx)
                {
                    const PaletteEntry& colour = aPalette[frame[sy * ICON_FIRE_SIZE + sx]];
                    nRed += colour.peRed;
                    nGreen += colour.peGreen;
                    nBlue += colour.peBlue;
                }
            }
            const int nCount = (x1 - x0) * (y1 - y0);
            uint8_t* pPixel = &image.pixels[(static_cast<size_t>(y) * nSize + x) * 4];
            pPixel[0] = static_cast<uint8_t>(nBlue / nCount);
            pPixel[1] = static_cast<uint8_t>(nGreen / nCount);
            pPixel[2] = static_cast<uint8_t>(nRed / nCount);
            pPixel[3] =
                static_cast<uint8_t>(std::min(255, 3 * std::max({nRed, nGreen, nBlue}) / nCount));
        }
    }
    return image;
}

bool MakeIcon(const std::string& strPath)
{
    std::vector<uint8_t> frame;
    PaletteEntry aPalette[PALETTE_SIZE];
    if (!RenderScene(ICON_SCENE, frame, aPalette))
        return false;
    std::vector<IconImage> images;
    for (int nSize : ICON_SIZES)
        images.push_back(ScaleIcon(frame, aPalette, nSize));
    const std::vector<uint8_t> icon = BuildIconFile(images);
    return WriteFile(strPath, icon.data(), icon.size());
}
} // namespace

int main(int argc, char** argv)
{
    const struct
    {
        const char* pszName;
        bool (*pMake)(const std::string&);
    } commands[] = {
        {"palette", MakePalette},
        {"wave", MakeWave},
        {"bitmap", MakeBitmap},
        {"icon", MakeIcon},
    };
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: vulkara-resgen palette|wave|bitmap|icon OUT\n");
        return EXIT_BAD_ARGUMENTS;
    }
    for (const auto& command : commands)
    {
        if (std::strcmp(argv[1], command.pszName) != 0)
            continue;
        if (!command.pMake(argv[2]))
        {
            std::fprintf(stderr, "vulkara-resgen: cannot write %s\n", argv[2]);
            return EXIT_FAILED;
        }
        return 0;
    }
    std::fprintf(stderr, "vulkara-resgen: unknown resource %s\n", argv[1]);
    return EXIT_BAD_ARGUMENTS;
}
