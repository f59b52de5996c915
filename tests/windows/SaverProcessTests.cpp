// The real vulkara.scr in full-screen mode: how a saver that cannot start reports it, and
// that start and stop leave nothing behind.
#include "ScrProcess.h"
#include "ScrSettings.h"
#include "WinTestUtil.h"

#include <gtest/gtest.h>

namespace
{
const DWORD kTimeoutMs = 15000;
const char kCreationMessage[] = "Can't create main screen saver window.\nPlease Try to turn off "
                                "\"Use DirectX mode\" option in screensaver settings dialog.";

DWORD ScreenWidth()
{
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm);
    return dm.dmPelsWidth;
}
} // namespace

TEST(SaverProcess, RefusedDisplayModeReportsTheCreationFailure)
{
    CSaverRegistry registry("vulkara");
    // No mode of the rig has this size: DirectDraw fails, then the GDI path's change.
    registry.SetInt(SETTING_XRES, 1000);
    registry.SetInt(SETTING_YRES, 700);
    const DWORD dwWidthBefore = ScreenWidth();
    for (BOOL bUseDirectX : {FALSE, TRUE})
    {
        registry.SetQuietSaver(bUseDirectX);
        CScrProcess scr;
        ASSERT_TRUE(scr.Start("/s"));
        HWND hBox = scr.WaitForWindow("#32770", kTimeoutMs);
        ASSERT_NE(hBox, nullptr) << bUseDirectX;
        EXPECT_EQ(MessageBoxText(hBox), kCreationMessage) << bUseDirectX;
        EXPECT_EQ(WindowText(hBox), "vulkara") << bUseDirectX;
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        DWORD dwExitCode = 1;
        EXPECT_TRUE(scr.WaitForExit(kTimeoutMs, &dwExitCode)) << bUseDirectX;
        EXPECT_EQ(ScreenWidth(), dwWidthBefore) << bUseDirectX;
    }
}
