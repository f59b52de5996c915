#include "CFrameSettings.h"
#include "CSaverSettings.h"
#include "SaverPlan.h"
#include "SettingIndex.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

void PrintTo(const PlannedWindow& w, std::ostream* pOut)
{
    *pOut << (w.kind == SAVER_WINDOW_FIRE ? "fire " : "black ") << w.rect.nWidth << "x"
          << w.rect.nHeight << "+" << w.rect.nLeft << "+" << w.rect.nTop
          << (w.bPrimary ? " primary" : "") << (w.bDirectDraw ? " DirectDraw" : " GDI")
          << (w.bSetMode ? " mode " : " ") << w.nOutputWidth << "x" << w.nOutputHeight << " frame "
          << w.frame.nWidth << "x" << w.frame.nHeight << (w.bStretched ? " stretched" : "")
          << (w.bSound ? " sound" : "") << " snapshot "
          << (w.bSnapshotArea ? "" : "primary screen ") << w.snapshot.nWidth << "x"
          << w.snapshot.nHeight << "+" << w.snapshot.nLeft << "+" << w.snapshot.nTop;
}

namespace
{
enum Output
{
    DIRECTDRAW,    // exclusive, with its mode change
    GDI_MODE,      // GDI after a mode change to the output's size
    GDI,           // GDI at the window's size
    GDI_STRETCHED, // the classic frame stretched over the window
};
enum Snapshot
{
    PRIMARY_SCREEN,
    WINDOW_AREA,
};

PlannedWindow Fire(bool bPrimary, ScreenRect rect, Output output, FrameSize shown, FrameSize frame,
                   Snapshot snapshot)
{
    const bool bArea = snapshot == WINDOW_AREA;
    return {rect,
            SAVER_WINDOW_FIRE,
            bPrimary,
            output == DIRECTDRAW,
            output == DIRECTDRAW || output == GDI_MODE,
            shown.nWidth,
            shown.nHeight,
            frame,
            output == GDI_STRETCHED,
            bPrimary,
            bArea,
            bArea ? rect : ScreenRect{}};
}

PlannedWindow Black(ScreenRect rect)
{
    PlannedWindow window = {};
    window.rect = rect;
    window.kind = SAVER_WINDOW_BLACK;
    return window;
}

constexpr ScreenRect kFullHd = {0, 0, 1920, 1080};
constexpr ScreenRect kLeft = {-1280, 0, 1280, 1024};
constexpr ScreenRect kBoth = {-1280, 0, 3200, 1080};

// Every decision a saver window is built from, worked out by hand from the rules: DirectDraw
// only on the primary and never under the classic size or across all monitors, a mode change
// only where the output's size is not the window's, the classic frame at most 1024 wide, one
// engine with the sound, and a snapshot of the whole area each window covers.
TEST(SaverPlan, EachWindowCarriesEverythingItIsBuiltFrom)
{
    struct Case
    {
        const char* pszName;
        std::vector<ScreenRect> monitors;
        SaverRequest request; // choice, fire size, DirectDraw, resolution, display
        std::vector<PlannedWindow> expected;
    };
    const Case cases[] = {
        {"DirectDraw at the display's size",
         {{0, 0, 1024, 768}},
         {MULTI_MONITOR_FIRE_ON_EVERY, FIRE_SIZE_SCREEN_PIXELS, true, 1024, 768, 1024, 768},
         {Fire(true, {0, 0, 1024, 768}, DIRECTDRAW, {1024, 768}, {1024, 768}, PRIMARY_SCREEN)}},
        {"GDI at another resolution",
         {kFullHd},
         {MULTI_MONITOR_FIRE_ON_EVERY, FIRE_SIZE_SCREEN_PIXELS, false, 1024, 768, 1920, 1080},
         {Fire(true, kFullHd, GDI_MODE, {1024, 768}, {1024, 768}, PRIMARY_SCREEN)}},
        {"GDI at the display's size",
         {kFullHd},
         {MULTI_MONITOR_FIRE_ON_EVERY, FIRE_SIZE_SCREEN_PIXELS, false, 1920, 1080, 1920, 1080},
         {Fire(true, kFullHd, GDI, {1920, 1080}, {1920, 1080}, PRIMARY_SCREEN)}},
        {"classic ignores DirectDraw and the resolution",
         {kFullHd},
         {MULTI_MONITOR_FIRE_ON_EVERY, FIRE_SIZE_CLASSIC, true, 800, 600, 1920, 1080},
         {Fire(true, kFullHd, GDI_STRETCHED, {1920, 1080}, {1024, 576}, PRIMARY_SCREEN)}},
        {"fire on every monitor",
         {kFullHd, kLeft},
         {MULTI_MONITOR_FIRE_ON_EVERY, FIRE_SIZE_SCREEN_PIXELS, true, 1920, 1080, 1920, 1080},
         {Fire(true, kFullHd, DIRECTDRAW, {1920, 1080}, {1920, 1080}, WINDOW_AREA),
          Fire(false, kLeft, GDI, {1280, 1024}, {1280, 1024}, WINDOW_AREA)}},
        {"classic on every monitor",
         {kFullHd, kLeft},
         {MULTI_MONITOR_FIRE_ON_EVERY, FIRE_SIZE_CLASSIC, false, 1920, 1080, 1920, 1080},
         {Fire(true, kFullHd, GDI_STRETCHED, {1920, 1080}, {1024, 576}, WINDOW_AREA),
          Fire(false, kLeft, GDI_STRETCHED, {1280, 1024}, {1024, 819}, WINDOW_AREA)}},
        {"main monitor only",
         {kFullHd, kLeft},
         {MULTI_MONITOR_MAIN_ONLY, FIRE_SIZE_SCREEN_PIXELS, false, 1024, 768, 1920, 1080},
         {Fire(true, kFullHd, GDI_MODE, {1024, 768}, {1024, 768}, WINDOW_AREA), Black(kLeft)}},
        {"one fire across two monitors",
         {kFullHd, kLeft},
         {MULTI_MONITOR_SPAN, FIRE_SIZE_SCREEN_PIXELS, true, 1024, 768, 1920, 1080},
         {Fire(true, kBoth, GDI, {3200, 1080}, {3200, 1080}, WINDOW_AREA)}},
        {"one classic fire across two monitors",
         {kFullHd, kLeft},
         {MULTI_MONITOR_SPAN, FIRE_SIZE_CLASSIC, false, 1920, 1080, 1920, 1080},
         {Fire(true, kBoth, GDI_STRETCHED, {3200, 1080}, {1024, 346}, WINDOW_AREA)}},
        {"one fire across one monitor",
         {kFullHd},
         {MULTI_MONITOR_SPAN, FIRE_SIZE_SCREEN_PIXELS, false, 1024, 768, 1920, 1080},
         {Fire(true, kFullHd, GDI, {1920, 1080}, {1920, 1080}, PRIMARY_SCREEN)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanSaverWindows(c.monitors, c.request), c.expected) << c.pszName;
}

// A window that only moves keeps its fire, even where its snapshot would now lie elsewhere or
// DirectDraw fell back to GDI; another size or frame needs a new one.
TEST(SaverPlan, OnlyAnotherSizeOrFrameNeedsANewFire)
{
    const PlannedWindow built = Fire(true, kFullHd, GDI, {1920, 1080}, {1920, 1080}, WINDOW_AREA);
    PlannedWindow moved = built;
    moved.rect = moved.snapshot = {1920, 0, 1920, 1080};
    moved.bDirectDraw = true;
    EXPECT_FALSE(NeedsNewFire(built, moved));
    EXPECT_TRUE(
        NeedsNewFire(built, Fire(true, kBoth, GDI, {3200, 1080}, {3200, 1080}, WINDOW_AREA)));
    EXPECT_TRUE(NeedsNewFire(
        built, Fire(true, kFullHd, GDI_STRETCHED, {1920, 1080}, {1024, 576}, WINDOW_AREA)));
    EXPECT_TRUE(NeedsNewFire(built, Black(kFullHd)));
}

TEST(SaverPlan, TheRequestIsReadFromTheSettings)
{
    CSaverSettings settings;
    settings.SetInt(SETTING_MULTI_MONITOR, MULTI_MONITOR_SPAN);
    settings.SetInt(SETTING_FIRE_SIZE, FIRE_SIZE_CLASSIC);
    settings.SetInt(SETTING_USE_DIRECTX, 1);
    settings.SetInt(SETTING_XRES, 800);
    settings.SetInt(SETTING_YRES, 600);
    const SaverRequest request = ReadSaverRequest(settings, 1920, 1080);
    EXPECT_EQ(request.choice, MULTI_MONITOR_SPAN);
    EXPECT_EQ(request.fireSize, FIRE_SIZE_CLASSIC);
    EXPECT_TRUE(request.bUseDirectX);
    EXPECT_EQ(request.nXRes, 800);
    EXPECT_EQ(request.nYRes, 600);
    EXPECT_EQ(request.nDisplayWidth, 1920);
    EXPECT_EQ(request.nDisplayHeight, 1080);
}

TEST(FrameSettings, OverridesTheFrameSizeAndTheSoundAndPassesTheRestOn)
{
    CSaverSettings inner;
    inner.SetInt(SETTING_XRES, 1024);
    inner.SetInt(SETTING_YRES, 768);
    inner.SetInt(SETTING_USE_CURRENT_RES, 1);
    inner.SetInt(SETTING_FIREWORK_COUNT, 17);
    inner.SetInt(SETTING_BACKGROUND_SOUND, 1);
    inner.SetString(SETTING_PASSWORD, "ember");
    const CFrameSettings sized(inner, 456, 336);
    const CFrameSettings silent(inner, 456, 336, false);

    struct Case
    {
        int nIndex;
        bool bResult;
        int nValue;
        int nSilentValue;
    };
    const Case cases[] = {
        {SETTING_XRES, true, 456, 456},
        {SETTING_YRES, true, 336, 336},
        {SETTING_USE_CURRENT_RES, true, 0, 0},
        {SETTING_FIREWORK_COUNT, true, 17, 17},
        {SETTING_BACKGROUND_SOUND, true, 1, 0},
        {SETTING_PASSWORD, false, -1, -1},
        {99, false, -1, -1},
    };
    for (const Case& c : cases)
    {
        int nValue = -1;
        EXPECT_EQ(sized.GetInt(c.nIndex, nValue), c.bResult) << c.nIndex;
        EXPECT_EQ(nValue, c.nValue) << c.nIndex;
        nValue = -1;
        EXPECT_EQ(silent.GetInt(c.nIndex, nValue), c.bResult) << c.nIndex;
        EXPECT_EQ(nValue, c.nSilentValue) << c.nIndex;
    }
    std::string strPassword;
    EXPECT_TRUE(sized.GetString(SETTING_PASSWORD, strPassword));
    EXPECT_EQ(strPassword, "ember");
}
} // namespace
