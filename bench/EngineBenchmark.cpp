// Per-frame cost of Step and Render at the screen sizes the saver meets, next to the literal
// form of the two per-pixel loops and a memcpy of one frame.

#include "CFixedSettings.h"
#include "CFrameScaler.h"
#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "LiteralLoops.h"
#include "EngineGlobals.h"
#include "FireSize.h"
#include "FlameKernels.h"
#include "Random.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct Resolution
{
    int nWidth;
    int nHeight;
};

const Resolution RESOLUTIONS[] = {{640, 480}, {1024, 768}, {1920, 1080}, {3840, 2160}};
// Where each kernel is measured on its own.
constexpr Resolution KERNEL_RESOLUTION = {1920, 1080};

// Steps before measuring, so that the flames have risen and the fireworks fly.
constexpr int WARM_UP_STEPS = 1000;
// The saver's pause between frames, and the frames measured at that pace (5 s).
constexpr int FRAME_PAUSE_MILLISECONDS = 25;
constexpr int PACED_FRAMES = 200;
constexpr Resolution PACED_RESOLUTION = {1024, 768};
// Rows of the classic-size frame stretched at a time, about the output's band at 3840x2160.
constexpr int CLASSIC_BAND_ROWS = 4;

std::string Name(const char* pszWhat, const Resolution& resolution)
{
    return std::string(pszWhat) + "/" + std::to_string(resolution.nWidth) + "x" +
           std::to_string(resolution.nHeight);
}

// An initialised engine with the saver's default settings, already burning.
std::unique_ptr<CVulkara> MakeEngine(CNativeEnginePlatform& platform, const Resolution& resolution,
                                     int nFade)
{
    CFixedSettings settings;
    settings.SetInt(SETTING_XRES, resolution.nWidth);
    settings.SetInt(SETTING_YRES, resolution.nHeight);
    settings.SetInt(SETTING_SPARKLES_COUNT, 500);
    settings.SetInt(SETTING_FIREBALL_COUNT, 6);
    settings.SetInt(SETTING_FIREWORK_COUNT, 6);
    settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MAX, 80);
    settings.SetInt(SETTING_FIREBALL_IN_FIREWORK_MIN, 10);
    settings.SetInt(SETTING_FADE_SCREEN, nFade);
    ResetEngineGlobals();
    SeedRandom(1);
    auto pEngine = std::make_unique<CVulkara>(platform);
    if (!pEngine->Init(settings))
        return nullptr;
    for (int i = 0; i < WARM_UP_STEPS; ++i)
        pEngine->Step();
    return pEngine;
}

void SetFrameCounters(benchmark::State& state, const Resolution& resolution)
{
    state.SetBytesProcessed(state.iterations() * int64_t{resolution.nWidth} * resolution.nHeight);
}

void BenchStep(benchmark::State& state, Resolution resolution)
{
    CNativeEnginePlatform platform;
    auto pEngine = MakeEngine(platform, resolution, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(pEngine->Step());
    SetFrameCounters(state, resolution);
}

// Step and Render at the saver's pace: a 25-ms sleep between frames, left out of the timing.
// A frame after a sleep finds its data, and its code, out of the caches; on the shared
// development machines it costs several times what a frame right after another does.
void BenchPacedFrame(benchmark::State& state, Resolution resolution)
{
    CNativeEnginePlatform platform;
    auto pEngine = MakeEngine(platform, resolution, 0);
    std::vector<uint8_t> frame(static_cast<size_t>(resolution.nWidth) * resolution.nHeight);
    for (auto _ : state)
    {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(FRAME_PAUSE_MILLISECONDS));
        state.ResumeTiming();
        pEngine->Step();
        pEngine->Render(frame.data());
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

void BenchRender(benchmark::State& state, Resolution resolution, int nFade)
{
    CNativeEnginePlatform platform;
    auto pEngine = MakeEngine(platform, resolution, nFade);
    std::vector<uint8_t> frame(static_cast<size_t>(resolution.nWidth) * resolution.nHeight);
    for (auto _ : state)
    {
        pEngine->Render(frame.data());
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

void BenchLiteralPropagate(benchmark::State& state, Resolution resolution)
{
    CNativeEnginePlatform platform;
    auto pEngine = MakeEngine(platform, resolution, 2);
    uint8_t* pFlame = nullptr;
    pEngine->GetBuffer(0, &pFlame, nullptr);
    for (auto _ : state)
    {
        LiteralPropagate(pFlame, resolution.nWidth, resolution.nHeight);
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

void BenchLiteralOverlay(benchmark::State& state, Resolution resolution)
{
    CNativeEnginePlatform platform;
    auto pEngine = MakeEngine(platform, resolution, 2);
    uint8_t* pFlame = nullptr;
    uint8_t* pDesktop = nullptr;
    pEngine->GetBuffer(0, &pFlame, nullptr);
    pEngine->GetBuffer(1, &pDesktop, nullptr);
    std::vector<uint8_t> frame(static_cast<size_t>(resolution.nWidth) * resolution.nHeight);
    for (auto _ : state)
    {
        LiteralOverlay(frame.data(), pFlame, pDesktop, resolution.nWidth * resolution.nHeight);
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

// The propagation alone with one of the kernels this processor runs, each pass from the same
// copy of the steady fire and its chunk flags, restored outside the timing.
void BenchPropagate(benchmark::State& state, Resolution resolution, FlameKernelVariant variant)
{
    CNativeEnginePlatform platform;
    auto pEngine = MakeEngine(platform, resolution, 2);
    const CFlameField& field = pEngine->GetFlameField();
    const size_t nBytes = static_cast<size_t>(resolution.nWidth) * (resolution.nHeight + 1);
    const size_t nWords =
        static_cast<size_t>(FlameHotWordsPerRow(resolution.nWidth)) * (resolution.nHeight + 1);
    const std::vector<uint8_t> startFlame(field.GetBuffer(), field.GetBuffer() + nBytes);
    const std::vector<uint64_t> startHot(field.GetHotChunks(), field.GetHotChunks() + nWords);
    std::vector<uint8_t> flame;
    std::vector<uint64_t> hot;
    for (auto _ : state)
    {
        state.PauseTiming();
        flame = startFlame;
        hot = startHot;
        state.ResumeTiming();
        variant.pPropagate(flame.data(), resolution.nWidth, resolution.nHeight, hot.data());
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

void BenchMemcpy(benchmark::State& state, Resolution resolution)
{
    const size_t nBytes = static_cast<size_t>(resolution.nWidth) * resolution.nHeight;
    std::vector<uint8_t> source(nBytes, 1);
    std::vector<uint8_t> dest(nBytes);
    for (auto _ : state)
    {
        std::memcpy(dest.data(), source.data(), nBytes);
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

// How the classic-size frame reaches the screen's 32-bit pixels.
enum class ClassicWay
{
    Scale,          // stretched as bytes only
    ScaleAndLookUp, // stretched as bytes, then every screen pixel looked up
    Colours,        // each engine pixel looked up once, its colour repeated
};

// The classic-size frame of a burning engine stretched to the screen's size, all of it, as the
// output under the Classic fire size does for a whole frame: its 32-bit pixels a band of rows
// at a time into a buffer that stays in the caches, since that is what goes to the screen.
void BenchClassicScale(benchmark::State& state, Resolution resolution, ClassicWay way)
{
    const FrameSize classic = ClassicSize(resolution.nWidth, resolution.nHeight);
    CNativeEnginePlatform platform;
    const std::unique_ptr<CVulkara> pEngine =
        MakeEngine(platform, {classic.nWidth, classic.nHeight}, 0);
    if (!pEngine)
    {
        state.SkipWithError("the engine cannot run");
        return;
    }
    std::vector<uint8_t> frame(static_cast<size_t>(classic.nWidth) * classic.nHeight);
    pEngine->Render(frame.data());
    std::vector<uint8_t> screen(static_cast<size_t>(resolution.nWidth) * resolution.nHeight);
    uint32_t aColours[256];
    for (uint32_t i = 0; i < 256; ++i)
        aColours[i] = i * 0x010203u;
    ColourTable table;
    MakeColourTable(table, aColours);
    CFrameScaler scaler;
    scaler.Configure(classic.nWidth, classic.nHeight, resolution.nWidth, resolution.nHeight);
    std::vector<uint32_t> band(static_cast<size_t>(CLASSIC_BAND_ROWS) * scaler.GetRowRepeat() *
                               resolution.nWidth);
    for (auto _ : state)
    {
        if (way != ClassicWay::Colours)
            scaler.Scale(frame.data(), screen.data(), resolution.nWidth);
        for (int y = 0; way != ClassicWay::Scale && y < classic.nHeight; y += CLASSIC_BAND_ROWS)
        {
            const int yEnd = std::min(y + CLASSIC_BAND_ROWS, classic.nHeight);
            const int nTop = scaler.GetDestRow(y);
            if (way == ClassicWay::Colours)
                scaler.ScaleColours(frame.data(), 0, y, classic.nWidth, yEnd, table, band.data(),
                                    resolution.nWidth);
            else
                LookUpColours(band.data(),
                              screen.data() + static_cast<size_t>(nTop) * resolution.nWidth,
                              (scaler.GetDestRow(yEnd) - nTop) * resolution.nWidth, table);
            benchmark::ClobberMemory();
        }
        benchmark::ClobberMemory();
    }
    SetFrameCounters(state, resolution);
}

// Collects the timings as the console shows them, to print the side-by-side table at the end.
class CTableReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            if (run.run_type == Run::RT_Iteration)
                // Processor time: the machine may be shared, and the engine's thread is what
                // counts.
                m_times[run.benchmark_name()] = run.GetAdjustedCPUTime(); // microseconds
        }
    }

    void PrintTable() const
    {
        std::printf("\nPer frame, microseconds of processor time. Overlay: FadeScreen 2. LitProp, "
                    "LitOver: the literal scalar loops.\n");
        std::printf("%-10s %7s %7s %8s %8s %8s %7s | %8s %10s %11s\n", "size", "Step", "Render",
                    "Overlay", "LitProp", "LitOver", "memcpy", "speedup", "S+R/memcpy",
                    "S+Ov/memcpy");
        for (const Resolution& resolution : RESOLUTIONS)
        {
            const double fStep = Time("Step", resolution);
            const double fPlain = Time("RenderPlain", resolution);
            const double fOverlay = Time("RenderOverlay", resolution);
            const double fLiteralPropagate = Time("LiteralPropagate", resolution);
            const double fLiteralOverlay = Time("LiteralOverlay", resolution);
            const double fMemcpy = Time("Memcpy", resolution);
            if (fStep <= 0 || fOverlay <= 0 || fMemcpy <= 0)
                continue;
            const std::string strSize =
                std::to_string(resolution.nWidth) + "x" + std::to_string(resolution.nHeight);
            std::printf("%-10s %7.1f %7.1f %8.1f %8.1f %8.1f %7.1f | %7.1fx %9.1fx %10.1fx\n",
                        strSize.c_str(), fStep, fPlain, fOverlay, fLiteralPropagate,
                        fLiteralOverlay, fMemcpy,
                        (fLiteralPropagate + fLiteralOverlay) / (fStep + fOverlay),
                        (fStep + fPlain) / fMemcpy, (fStep + fOverlay) / fMemcpy);
        }
        std::printf("Propagation alone at %dx%d, per kernel:", KERNEL_RESOLUTION.nWidth,
                    KERNEL_RESOLUTION.nHeight);
        for (const FlameKernelVariant& variant : GetFlameKernelVariants())
            std::printf(
                " %s %.1f", variant.pszName,
                Time((std::string("Propagate/") + variant.pszName).c_str(), KERNEL_RESOLUTION));
        std::printf("\n");
        // A fixed count of iterations becomes part of the benchmark's name.
        const auto itPaced = m_times.find(Name("PacedFrame", PACED_RESOLUTION) +
                                          "/iterations:" + std::to_string(PACED_FRAMES));
        const double fPaced = itPaced == m_times.end() ? 0.0 : itPaced->second;
        const double fBack = Time("Step", PACED_RESOLUTION) + Time("RenderPlain", PACED_RESOLUTION);
        if (fPaced > 0 && fBack > 0)
            std::printf("Step + Render at %dx%d after a %d-ms sleep, as in the saver: %.1f, %.1fx "
                        "the same frame right after another\n",
                        PACED_RESOLUTION.nWidth, PACED_RESOLUTION.nHeight, FRAME_PAUSE_MILLISECONDS,
                        fPaced, fPaced / fBack);
        // The literal side leaves out the particles and the seed line, so the speedup is a
        // lower bound.
        std::printf("speedup = (LitProp + LitOver) / (Step + Overlay); S+R = Step + Render plain; "
                    "S+Ov = Step + Render with overlay; memcpy = one frame of W x H bytes\n");
    }

private:
    double Time(const char* pszWhat, const Resolution& resolution) const
    {
        const auto it = m_times.find(Name(pszWhat, resolution));
        return it == m_times.end() ? 0.0 : it->second;
    }

    std::map<std::string, double> m_times;
};
} // namespace

int main(int argc, char** argv)
{
    for (const Resolution& resolution : RESOLUTIONS)
    {
        benchmark::RegisterBenchmark(Name("Step", resolution).c_str(), BenchStep, resolution)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("RenderPlain", resolution).c_str(), BenchRender,
                                     resolution, 0)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("RenderOverlay", resolution).c_str(), BenchRender,
                                     resolution, 2)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("LiteralPropagate", resolution).c_str(),
                                     BenchLiteralPropagate, resolution)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("LiteralOverlay", resolution).c_str(),
                                     BenchLiteralOverlay, resolution)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("Memcpy", resolution).c_str(), BenchMemcpy, resolution)
            ->Unit(benchmark::kMicrosecond);
        if (resolution.nWidth > CLASSIC_MAX_WIDTH)
        {
            benchmark::RegisterBenchmark(Name("ClassicScale", resolution).c_str(),
                                         BenchClassicScale, resolution, ClassicWay::Scale)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(Name("ClassicScaleLookUp", resolution).c_str(),
                                         BenchClassicScale, resolution, ClassicWay::ScaleAndLookUp)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(Name("ClassicColours", resolution).c_str(),
                                         BenchClassicScale, resolution, ClassicWay::Colours)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (const FlameKernelVariant& variant : GetFlameKernelVariants())
    {
        benchmark::RegisterBenchmark(
            Name((std::string("Propagate/") + variant.pszName).c_str(), KERNEL_RESOLUTION).c_str(),
            BenchPropagate, KERNEL_RESOLUTION, variant)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(Name("PacedFrame", PACED_RESOLUTION).c_str(), BenchPacedFrame,
                                 PACED_RESOLUTION)
        ->Iterations(PACED_FRAMES)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    CTableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
