#include <gtest/gtest.h>

#include "platform/wayland/wayland_layout.h"

namespace {

TEST(WaylandLayout, OutputsAreMonitorsInDevicePixelsAndAWindowSplitsOverThem) {
    // A 2x laptop panel of 1280x720 logical pixels, and a 1x monitor right of it.
    const std::vector<TOutputPlace> outputs = {{7, 0, 0, 1280, 720, 2}, {9, 1280, 0, 1024, 768, 1}};
    EXPECT_EQ(DeviceScale(outputs), 2);
    EXPECT_EQ(DeviceScale({}), 1);
    const auto monitors = OutputMonitors(outputs);
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_EQ(monitors[0], (TMonitor{0, 0, 2560, 1440, true}));  // the first is the primary
    EXPECT_EQ(monitors[1], (TMonitor{2560, 0, 2048, 1536, false}));

    // The window around both: a piece each, in the window's coordinates.
    auto pieces = SplitWindow({0, 0, 4608, 1536, false}, outputs);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].Output, 7u);
    EXPECT_EQ(pieces[0].InWindow, (TMonitor{0, 0, 2560, 1440, false}));
    EXPECT_EQ(pieces[1].Output, 9u);
    EXPECT_EQ(pieces[1].InWindow, (TMonitor{2560, 0, 2048, 1536, false}));

    // The primary only: the other output has no piece; a window that only touches an edge neither.
    pieces = SplitWindow({0, 0, 2560, 1440, false}, outputs);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].Output, 7u);
    // A window over the second output only, starting left of the desktop's origin.
    pieces = SplitWindow({2560, 100, 2048, 1536, false}, outputs);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].InWindow, (TMonitor{0, 0, 2048, 1436, false}));
    EXPECT_TRUE(SplitWindow({-500, 0, 500, 100, false}, outputs).empty());

    // Without xdg-output: wl_output's position, and its mode in logical pixels.
    EXPECT_EQ(OutputPlace(3, 1280, 0, 2560, 1440, 2, 0, 0, 0, 0).Width, 1280);
    const TOutputPlace logical = OutputPlace(3, 0, 0, 2560, 1440, 2, 1280, 0, 1280, 720);
    EXPECT_EQ(logical.Left, 1280);
    EXPECT_EQ(logical.Height, 720);
}

TEST(WaylandLayout, TheDesktopsSizeIsTheOnlyModeAndASwitchIsRefused) {
    std::vector<TOutputPlace> outputs = {{7, 0, 0, 1280, 720, 1}, {9, 1280, 0, 1024, 768, 1}};
    TOutputModeDriver driver([&outputs] { return outputs; });
    EXPECT_EQ(driver.ScreenMode(), (TVideoMode{2304, 768, 32}));
    TVideoModesList modes(driver);
    modes.Enumerate();
    ASSERT_EQ(modes.Count(), 1);
    EXPECT_EQ(modes.Items(0), (TVideoMode{2304, 768, 32}));
    EXPECT_FALSE(modes.SwitchTo(1024, 768, 32));
    EXPECT_FALSE(modes.Switched());
    TModeRecord same;
    ASSERT_TRUE(driver.EnumSettings(0, same));
    EXPECT_EQ(driver.ChangeSettings(&same, kCdsFullScreen), kDispChangeSuccessful);
    EXPECT_EQ(driver.ChangeSettings(nullptr, 0), kDispChangeSuccessful);
    // No outputs yet: no mode at all.
    outputs.clear();
    EXPECT_FALSE(driver.EnumSettings(0, same));
}

}  // namespace
