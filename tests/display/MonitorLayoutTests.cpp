#include "MonitorLayout.h"
#include "SaverPlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct LayoutCase
{
    const char* pszName;
    std::vector<ScreenRect> monitors; // the primary first
    ScreenRect bounds;                // what one fire across them must cover
};

const LayoutCase kLayouts[] = {
    {"one", {{0, 0, 1920, 1080}}, {0, 0, 1920, 1080}},
    {"two side by side", {{0, 0, 1024, 768}, {1024, 0, 1024, 768}}, {0, 0, 2048, 768}},
    {"primary on the right", {{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}}, {-1280, 0, 3200, 1080}},
    {"portrait beside landscape",
     {{0, 0, 2560, 1440}, {2560, -400, 1080, 1920}},
     {0, -400, 3640, 1920}},
    {"three of different sizes",
     {{0, 0, 1920, 1080}, {-1024, 200, 1024, 768}, {1920, -500, 3840, 2160}},
     {-1024, -500, 6784, 2160}},
};

SaverRequest RequestFor(MultiMonitorChoice choice)
{
    return {choice, FIRE_SIZE_SCREEN_PIXELS, false, 1024, 768, 1024, 768};
}

bool Contains(const ScreenRect& outer, const ScreenRect& inner)
{
    return inner.nLeft >= outer.nLeft && inner.nTop >= outer.nTop &&
           inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom();
}

TEST(MonitorLayoutTest, EveryMonitorIsCoveredOnceWithTheRightKindOfWindow)
{
    for (const LayoutCase& layout : kLayouts)
    {
        SCOPED_TRACE(layout.pszName);
        for (MultiMonitorChoice choice : {MULTI_MONITOR_FIRE_ON_EVERY, MULTI_MONITOR_MAIN_ONLY})
        {
            SCOPED_TRACE(choice);
            const std::vector<PlannedWindow> windows =
                PlanSaverWindows(layout.monitors, RequestFor(choice));
            ASSERT_EQ(windows.size(), layout.monitors.size());
            for (size_t i = 0; i < windows.size(); ++i)
            {
                EXPECT_EQ(windows[i].rect, layout.monitors[i]);
                EXPECT_EQ(windows[i].bPrimary, i == 0);
                const bool bFire = i == 0 || choice == MULTI_MONITOR_FIRE_ON_EVERY;
                EXPECT_EQ(windows[i].kind, bFire ? SAVER_WINDOW_FIRE : SAVER_WINDOW_BLACK);
            }
        }

        const std::vector<PlannedWindow> span =
            PlanSaverWindows(layout.monitors, RequestFor(MULTI_MONITOR_SPAN));
        ASSERT_EQ(span.size(), 1u);
        EXPECT_EQ(span[0].rect, layout.bounds);
        EXPECT_EQ(span[0].kind, SAVER_WINDOW_FIRE);
        EXPECT_TRUE(span[0].bPrimary);
        for (const ScreenRect& monitor : layout.monitors)
            EXPECT_TRUE(Contains(span[0].rect, monitor));
    }
    EXPECT_TRUE(PlanSaverWindows({}, RequestFor(MULTI_MONITOR_FIRE_ON_EVERY)).empty());
}

TEST(MonitorLayoutTest, StoredValuesOutsideTheChoicesMeanTheDefault)
{
    EXPECT_EQ(MultiMonitorChoiceFromValue(0), MULTI_MONITOR_FIRE_ON_EVERY);
    EXPECT_EQ(MultiMonitorChoiceFromValue(1), MULTI_MONITOR_MAIN_ONLY);
    EXPECT_EQ(MultiMonitorChoiceFromValue(2), MULTI_MONITOR_SPAN);
    for (int nValue : {3, -1, 0x7fffffff, static_cast<int>(0x80000000u)})
        EXPECT_EQ(MultiMonitorChoiceFromValue(nValue), MULTI_MONITOR_FIRE_ON_EVERY) << nValue;
}

TEST(MonitorLayoutTest, ParsesFakeLayouts)
{
    std::vector<ScreenRect> monitors;
    ASSERT_TRUE(ParseMonitorList("1024x768+0+0,1024x768+1024+0", monitors));
    EXPECT_EQ(monitors, (std::vector<ScreenRect>{{0, 0, 1024, 768}, {1024, 0, 1024, 768}}));
    ASSERT_TRUE(ParseMonitorList("1920X1080+0+0,1280x1024+-1280+-200,1080x1920-1080+0", monitors));
    EXPECT_EQ(monitors,
              (std::vector<ScreenRect>{
                  {0, 0, 1920, 1080}, {-1280, -200, 1280, 1024}, {-1080, 0, 1080, 1920}}));
}

TEST(MonitorLayoutTest, RefusesMalformedLayoutsWhole)
{
    const char* const malformed[] = {
        "",
        ",",
        "1024x768",
        "1024x768+0",
        "1024x768+0+0,",
        "1024x768+0+0,,800x600+0+0",
        "1024*768+0+0",
        "0x768+0+0",
        "1024x0+0+0",
        "-1024x768+0+0",
        "1024x768+0+0 ",
        " 1024x768+0+0",
        "1024x768+0+0;800x600+1024+0",
        "1024x768+x+0",
        "99999999999999999999x768+0+0",
        "1024x768+99999999999+0",
        "1024x768++5+0",
    };
    for (const char* pszText : malformed)
    {
        std::vector<ScreenRect> monitors = {{1, 2, 3, 4}};
        EXPECT_FALSE(ParseMonitorList(pszText, monitors)) << '"' << pszText << '"';
        EXPECT_TRUE(monitors.empty()) << '"' << pszText << '"';
    }
}
} // namespace
