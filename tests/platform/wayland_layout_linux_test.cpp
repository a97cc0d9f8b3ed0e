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
}

}  // namespace
