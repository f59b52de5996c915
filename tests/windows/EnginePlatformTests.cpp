// The engine's Windows platform takes its desktop snapshot of the area it was given: a
// monitor's, which on any monitor but the primary starts away from the screen's origin. The
// generator keeps its state per thread through a slot of its own on Windows, and the wider flame
// kernels are built with this compiler's own alignment rules.
#include "Afx.h"
#include "CBitmap24.h"
#include "CWin32EnginePlatform.h"
#include "FlameKernels.h"
#include "Random.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

namespace
{
// A topmost popup painted in one colour by its class brush.
HWND ColouredWindow(COLORREF colour, int nLeft, int nTop, int nWidth, int nHeight)
{
    LPCSTR lpszClass = AfxRegisterWndClass(0, nullptr, ::CreateSolidBrush(colour));
    return ::CreateWindowExA(WS_EX_TOPMOST, lpszClass, "", WS_POPUP | WS_VISIBLE, nLeft, nTop,
                             nWidth, nHeight, nullptr, nullptr, nullptr, nullptr);
}

TEST(EnginePlatform, SnapshotIsOfItsOwnArea)
{
    const int nTop = 100, nHeight = 96, nHalf = 64;
    HWND hRed = ColouredWindow(RGB(255, 0, 0), 200, nTop, 2 * nHalf, nHeight);
    HWND hBlue = ColouredWindow(RGB(0, 0, 255), 200 + 2 * nHalf, nTop, 2 * nHalf, nHeight);
    ASSERT_NE(hRed, nullptr);
    ASSERT_NE(hBlue, nullptr);
    PumpMessagesFor(300);

    // The area straddles the two windows: red on its left half, blue on its right.
    CWin32EnginePlatform platform(200 + nHalf, nTop, 2 * nHalf, nHeight);
    CBitmap24 picture;
    ASSERT_TRUE(platform.CaptureScreen(32, 32, picture));
    ASSERT_EQ(picture.GetWidth(), 2 * nHalf);
    ASSERT_EQ(picture.GetHeight(), nHeight);
    for (int y : {0, nHeight / 2, nHeight - 1})
    {
        for (int x : {0, nHalf - 1, nHalf, 2 * nHalf - 1})
        {
            const uint8_t* pPixel = picture.GetRow(y) + 3 * x; // blue, green, red
            const bool bRed = x < nHalf;
            EXPECT_EQ(pPixel[0], bRed ? 0 : 255) << x << "," << y;
            EXPECT_EQ(pPixel[1], 0) << x << "," << y;
            EXPECT_EQ(pPixel[2], bRed ? 255 : 0) << x << "," << y;
        }
    }
    ::DestroyWindow(hRed);
    ::DestroyWindow(hBlue);
}

TEST(EnginePlatform, GeneratorStartsAtOneOnEveryThread)
{
    // The runtime's generator from state 1 gives 41, 18467, 6334; a seed on one thread leaves
    // another's sequence alone, and a seed of 0 is a state like any other.
    const std::vector<int> fromOne = {41, 18467, 6334};
    SeedRandom(0);
    const int nFromZero = Random();
    for (int nRun = 0; nRun < 2; ++nRun)
    {
        std::vector<int> drawn;
        std::thread worker(
            [&]
            {
                for (size_t i = 0; i < fromOne.size(); ++i)
                    drawn.push_back(Random());
            });
        worker.join();
        EXPECT_EQ(drawn, fromOne);
    }
    SeedRandom(0);
    EXPECT_EQ(Random(), nFromZero);
    EXPECT_EQ(nFromZero, 38); // (0 * 214013 + 2531011) >> 16 & 0x7fff
}

TEST(EnginePlatform, EveryKernelThisProcessorRunsAgreesWithThePortableOne)
{
    const std::vector<FlameKernelVariant> variants = GetFlameKernelVariants();
    std::mt19937 random(5);
    // Odd widths reach every vector loop's tail; the thread's stack is whatever Windows gives.
    for (const int nWidth : {2, 65, 257, 1001})
    {
        const int nHeight = 9;
        const size_t nBytes = static_cast<size_t>(nWidth) * (nHeight + 1);
        std::vector<uint8_t> start(nBytes);
        for (uint8_t& b : start)
            b = static_cast<uint8_t>(random());
        std::vector<uint8_t> desktop(nBytes + OVERLAY_READ_AHEAD);
        for (uint8_t& b : desktop)
            b = static_cast<uint8_t>(random());

        std::vector<uint32_t> colours(256);
        for (uint32_t& colour : colours)
            colour = static_cast<uint32_t>(random());
        ColourTable table;
        MakeColourTable(table, colours.data());
        std::vector<std::vector<uint8_t>> flames, overlays;
        std::vector<std::vector<uint32_t>> lookUps;
        for (const FlameKernelVariant& variant : variants)
        {
            std::vector<uint64_t> hot(static_cast<size_t>(FlameHotWordsPerRow(nWidth)) *
                                      (nHeight + 1));
            FlagFlameChunks(hot.data(), nWidth, 0, 0, nWidth - 1, nHeight);
            std::vector<uint8_t> flame = start;
            std::thread([&] { variant.pPropagate(flame.data(), nWidth, nHeight, hot.data()); })
                .join();
            std::vector<uint8_t> overlay(nBytes);
            variant.pOverlay(overlay.data(), start.data(), desktop.data(),
                             static_cast<int>(nBytes));
            std::vector<uint32_t> lookUp(nBytes);
            variant.pLookUp(lookUp.data(), start.data(), static_cast<int>(nBytes), table);
            flames.push_back(flame);
            overlays.push_back(overlay);
            lookUps.push_back(lookUp);
        }
        for (size_t i = 1; i < variants.size(); ++i)
        {
            EXPECT_EQ(flames[i], flames[0]) << variants[i].pszName << ", width " << nWidth;
            EXPECT_EQ(overlays[i], overlays[0]) << variants[i].pszName << ", width " << nWidth;
            EXPECT_EQ(lookUps[i], lookUps[0]) << variants[i].pszName << ", width " << nWidth;
        }
    }
    std::string strNames;
    for (const FlameKernelVariant& variant : variants)
        strNames += std::string(" ") + variant.pszName;
    std::printf("flame kernels on this processor:%s\n", strNames.c_str());
}
} // namespace
