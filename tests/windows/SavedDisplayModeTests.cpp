// The display mode goes back on the display it was taken from, named by its device. The rig
// has one display, so the primary cannot change under the test; what it shows is the round
// trip through the device's name, read back from the device found on its own.
#include "CSavedDisplayMode.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{
std::pair<DWORD, DWORD> SizeOf(const std::string& strDevice)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    ::EnumDisplaySettingsA(strDevice.c_str(), ENUM_CURRENT_SETTINGS, &mode);
    return {mode.dmPelsWidth, mode.dmPelsHeight};
}

TEST(SavedDisplayMode, PutsTheSizeBackOnTheDisplayItWasTakenFrom)
{
    std::string strPrimary;
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof(device);
    for (DWORD i = 0; strPrimary.empty() && ::EnumDisplayDevicesA(nullptr, i, &device, 0); ++i)
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE)
            strPrimary = device.DeviceName;
    ASSERT_FALSE(strPrimary.empty());
    const std::pair<DWORD, DWORD> before = SizeOf(strPrimary);
    const std::pair<DWORD, DWORD> other =
        before.first == 800 ? std::make_pair(640u, 480u) : std::make_pair(800u, 600u);

    CSavedDisplayMode saved;
    ASSERT_TRUE(saved.Save());
    EXPECT_TRUE(saved.IsCurrent());
    ASSERT_TRUE(saved.SetSize(static_cast<int>(other.first), static_cast<int>(other.second)));
    EXPECT_EQ(SizeOf(strPrimary), other);
    EXPECT_FALSE(saved.IsCurrent());
    saved.Restore();
    EXPECT_EQ(SizeOf(strPrimary), before);
    EXPECT_TRUE(saved.IsCurrent());
}
} // namespace
