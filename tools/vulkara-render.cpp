// Runs the fire engine without a window, the way the saver does, and writes its frames as raw
// palette indices and/or PNG pictures.

#include "BmpFile.h"
#include "CBitmap24.h"
#include "CFixedSettings.h"
#include "CFrameScaler.h"
#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "FireSize.h"
#include "PngFile.h"
#include "Random.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int EXIT_BAD_ARGUMENTS = 2;
constexpr int EXIT_RUN_FAILED = 1;

const char USAGE[] =
    "usage: vulkara-render --width W --height H [--sparkles N] [--fireballs N] [--fireworks N]\n"
    "                      [--burst-min N] [--burst-max N] [--fade N] [--desktop FILE.bmp]\n"
    "                      [--seed S] [--frames N] [--raw FILE] [--png-dir DIR] [--classic]\n"
    "--classic runs the engine at the classic size of W x H and stretches each frame to W x H.\n";

struct RenderOptions
{
    int nWidth = 0;
    int nHeight = 0;
    int nSparkles = 500;
    int nFireBalls = 6;
    int nFireWorks = 6;
    int nBurstMin = 10;
    int nBurstMax = 80;
    int nFade = 2;
    unsigned int nSeed = 0;
    int nFrames = 100;
    std::string strDesktop;
    std::string strRaw;
    std::string strPngDir;
    bool bClassic = false;
};

bool ParseLong(const char* pszText, long long nMin, long long nMax, long long& nValue)
{
    errno = 0;
    char* pEnd = nullptr;
    const long long n = std::strtoll(pszText, &pEnd, 10);
    if (errno != 0 || pEnd == pszText || *pEnd != '\0' || n < nMin || n > nMax)
        return false;
    nValue = n;
    return true;
}

// Fills options from the command line; on failure strError holds the one-line reason.
bool ParseArguments(int argc, char** argv, RenderOptions& options, std::string& strError)
{
    options.nSeed = static_cast<unsigned int>(std::time(nullptr));
    bool bWidth = false;
    bool bHeight = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strName = argv[i];
        if (strName == "--classic")
        {
            options.bClassic = true;
            continue;
        }
        if (i + 1 >= argc)
        {
            strError = strName.rfind("--", 0) == 0 ? "missing value for " + strName
                                                   : "unexpected argument " + strName;
            return false;
        }
        const char* pszValue = argv[++i];
        struct IntOption
        {
            const char* pszName;
            int* pValue;
            long long nMin;
        } const intOptions[] = {
            {"--width", &options.nWidth, INT_MIN},
            {"--height", &options.nHeight, INT_MIN},
            {"--sparkles", &options.nSparkles, INT_MIN},
            {"--fireballs", &options.nFireBalls, INT_MIN},
            {"--fireworks", &options.nFireWorks, INT_MIN},
            {"--burst-min", &options.nBurstMin, INT_MIN},
            {"--burst-max", &options.nBurstMax, INT_MIN},
            {"--fade", &options.nFade, INT_MIN},
            {"--frames", &options.nFrames, 0},
        };
        bool bKnown = false;
        for (const IntOption& option : intOptions)
        {
            if (strName != option.pszName)
                continue;
            long long n = 0;
            if (!ParseLong(pszValue, option.nMin, INT_MAX, n))
            {
                strError = "bad value for " + strName + ": " + pszValue;
                return false;
            }
            *option.pValue = static_cast<int>(n);
            bWidth = bWidth || option.pValue == &options.nWidth;
            bHeight = bHeight || option.pValue == &options.nHeight;
            bKnown = true;
        }
        if (bKnown)
            continue;
        if (strName == "--seed")
        {
            long long n = 0;
            if (!ParseLong(pszValue, 0, UINT_MAX, n))
            {
                strError = "bad value for --seed: " + std::string(pszValue);
                return false;
            }
            options.nSeed = static_cast<unsigned int>(n);
        }
        else if (strName == "--desktop")
            options.strDesktop = pszValue;
        else if (strName == "--raw")
            options.strRaw = pszValue;
        else if (strName == "--png-dir")
            options.strPngDir = pszValue;
        else
        {
            strError = "unknown option " + strName;
            return false;
        }
    }
    if (!bWidth || !bHeight)
    {
        strError = "--width and --height are required";
        return false;
    }
    if (options.nBurstMin > options.nBurstMax)
        std::swap(options.nBurstMin, options.nBurstMax);
    return true;
}

std::string FramePath(const std::string& strDir, int nFrame)
{
    char szName[32];
    std::snprintf(szName, sizeof(szName), "frame-%04d.png", nFrame);
    return (std::filesystem::path(strDir) / szName).string();
}
} // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string strError;
    if (!ParseArguments(argc, argv, options, strError))
    {
        std::fprintf(stderr, "vulkara-render: %s\n", strError.c_str());
        if (argc == 1)
            std::fputs(USAGE, stderr);
        return EXIT_BAD_ARGUMENTS;
    }

    CNativeEnginePlatform platform;
    if (!options.strDesktop.empty())
    {
        CBitmap24 desktop;
        if (!ReadBmp24(options.strDesktop, desktop, strError))
        {
            std::fprintf(stderr, "vulkara-render: %s\n", strError.c_str());
            return EXIT_BAD_ARGUMENTS;
        }
        platform.SetScreen(desktop);
    }

    const FrameSize engineSize =
        EngineSizeFor(options.bClassic ? FIRE_SIZE_CLASSIC : FIRE_SIZE_SCREEN_PIXELS,
                      options.nWidth, options.nHeight);
    CFixedSettings settings;
    settings.SetInt(SETTING_XRES, engineSize.nWidth);
    settings.SetInt(SETTING_YRES, engineSize.nHeight);
    settings.SetInt(SETTING_SPARKLES_COUNT, options.nSparkles);
    settings.SetInt(SETTING_FIREBALL_COUNT, options.nFireBalls);
    settings.SetInt(SETTING_FIREWORK_COUNT, options.nFireWorks);
    settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MAX, options.nBurstMax);
    settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MIN, options.nBurstMin);
    settings.SetInt(SETTING_FADE_SCREEN, options.nFade);
    settings.SetInt(SETTING_BACKGROUND_SOUND, 0);

    // The saver's road: fresh process-wide state, the start-up generator seeded, Init and the
    // palette on this thread, the animation on a worker whose generator starts at 1.
    ResetEngineGlobals();
    SeedRandom(options.nSeed);
    CVulkara engine(platform);
    if (!engine.Init(settings))
    {
        std::fprintf(stderr, "vulkara-render: the engine cannot run at %d x %d\n",
                     engineSize.nWidth, engineSize.nHeight);
        return EXIT_RUN_FAILED;
    }
    PaletteEntry aPalette[PALETTE_SIZE];
    if (!engine.LoadPalette(aPalette))
    {
        std::fprintf(stderr, "vulkara-render: the palette cannot be loaded\n");
        return EXIT_RUN_FAILED;
    }

    std::ofstream raw;
    if (!options.strRaw.empty())
    {
        raw.open(options.strRaw, std::ios::binary);
        raw.write(reinterpret_cast<const char*>(aPalette), PALETTE_BYTES);
    }
    if (!options.strPngDir.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(options.strPngDir, error);
    }

    // The frames written are always W x H; a smaller engine frame is stretched as the
    // saver's output stretches it.
    CFrameScaler scaler;
    const bool bScaled = !(engineSize == FrameSize{options.nWidth, options.nHeight});
    if (bScaled)
        scaler.Configure(engineSize.nWidth, engineSize.nHeight, options.nWidth, options.nHeight);

    bool bWritten = true;
    std::thread worker(
        [&]
        {
            std::vector<uint8_t> frame(static_cast<size_t>(options.nWidth) * options.nHeight);
            std::vector<uint8_t> engineFrame(
                bScaled ? static_cast<size_t>(engineSize.nWidth) * engineSize.nHeight : 0);
            for (int n = 0; n < options.nFrames && bWritten; ++n)
            {
                // Like the preview, a frame whose firework found no memory is still shown.
                engine.Step();
                if (bScaled)
                {
                    engine.Render(engineFrame.data());
                    scaler.Scale(engineFrame.data(), frame.data(), options.nWidth);
                }
                else
                    engine.Render(frame.data());
                if (raw.is_open())
                    bWritten =
                        static_cast<bool>(raw.write(reinterpret_cast<const char*>(frame.data()),
                                                    static_cast<std::streamsize>(frame.size())));
                if (bWritten && !options.strPngDir.empty())
                    bWritten = WritePng8(FramePath(options.strPngDir, n), frame.data(),
                                         options.nWidth, options.nHeight, aPalette);
            }
        });
    worker.join();

    if (raw.is_open())
    {
        raw.close();
        bWritten = bWritten && !raw.fail();
    }
    if (!bWritten)
    {
        std::fprintf(stderr, "vulkara-render: cannot write the frames\n");
        return EXIT_RUN_FAILED;
    }
    return 0;
}
