#include "CNativeEnginePlatform.h"
#include "CVulkara.h"
#include "EngineGlobals.h"
#include "FirePalette.h"
#include "TestSettings.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
std::array<int, 3> Rgb(const PaletteEntry& entry)
{
    return {entry.peRed, entry.peGreen, entry.peBlue};
}

TEST(FirePalette, MarksOfTheFormula)
{
    PaletteEntry aPalette[PALETTE_SIZE];
    BuildFirePalette(aPalette);
    const struct
    {
        int nIndex;
        std::array<int, 3> rgb;
    } cases[] = {
        {0, {0, 0, 0}},         {1, {1, 0, 0}},        {2, {3, 0, 0}},        {29, {43, 0, 0}},
        {30, {45, 1, 0}},       {63, {94, 9, 0}},      {64, {96, 9, 1}},      {128, {192, 78, 16}},
        {169, {253, 179, 48}},  {170, {255, 182, 49}}, {189, {255, 251, 76}}, {190, {255, 255, 77}},
        {255, {255, 255, 252}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rgb(aPalette[c.nIndex]), c.rgb) << "entry " << c.nIndex;
    for (const PaletteEntry& entry : aPalette)
        EXPECT_EQ(entry.peFlags, 0);
}

class PaletteFade : public testing::Test
{
protected:
    void SetUp() override { ResetEngineGlobals(); }

    bool Load(int nFade, PaletteEntry aPalette[PALETTE_SIZE])
    {
        CTestSettings settings(64, 48);
        settings.Bare().Set(SETTING_FADE_SCREEN, nFade);
        CVulkara engine(m_platform);
        return engine.Init(settings) && engine.LoadPalette(aPalette);
    }

    CNativeEnginePlatform m_platform;
};

TEST_F(PaletteFade, GreyLevelsBrightenEachGroupByThirtyTwoOverTheDivisor)
{
    PaletteEntry aResource[PALETTE_SIZE];
    BuildFirePalette(aResource);
    const struct
    {
        int nFade;
        int nIndex;
        std::array<int, 3> rgb;
    } cases[] = {
        {2, 9, {28, 16, 16}},      {2, 15, {124, 112, 112}}, {2, 8, {12, 0, 0}},
        {1, 9, {44, 32, 32}},      {1, 15, {236, 224, 224}}, {1, 255, {255, 255, 255}},
        {100, 9, {12, 0, 0}},      {100, 12, {13, 1, 1}},    {100, 15, {14, 2, 2}},
        {2, 249, {255, 255, 241}}, {3, 10, {33, 21, 21}},
    };
    for (const auto& c : cases)
    {
        PaletteEntry aPalette[PALETTE_SIZE];
        ASSERT_TRUE(Load(c.nFade, aPalette));
        EXPECT_EQ(Rgb(aPalette[c.nIndex]), c.rgb) << "fade " << c.nFade << " entry " << c.nIndex;
        for (int g = 0; g < PALETTE_SIZE; g += 8)
            EXPECT_EQ(Rgb(aPalette[g]), Rgb(aResource[g])) << "group start " << g;
    }
}

TEST_F(PaletteFade, WithoutOverlayThePaletteIsTheResource)
{
    PaletteEntry aResource[PALETTE_SIZE];
    BuildFirePalette(aResource);
    PaletteEntry aPalette[PALETTE_SIZE];
    ASSERT_TRUE(Load(0, aPalette));
    for (int i = 0; i < PALETTE_SIZE; ++i)
        EXPECT_EQ(Rgb(aPalette[i]), Rgb(aResource[i])) << i;
}

TEST_F(PaletteFade, ANegativeDivisorDarkensWithoutWrapping)
{
    PaletteEntry aPalette[PALETTE_SIZE];
    ASSERT_TRUE(Load(-1, aPalette));
    EXPECT_EQ(Rgb(aPalette[15]), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(Rgb(aPalette[255]), (std::array<int, 3>{31, 31, 1}));
}

TEST_F(PaletteFade, AMissingResourceFailsTheLoad)
{
    m_platform.SetPaletteAvailable(false);
    PaletteEntry aPalette[PALETTE_SIZE];
    EXPECT_FALSE(Load(2, aPalette));
}
} // namespace
