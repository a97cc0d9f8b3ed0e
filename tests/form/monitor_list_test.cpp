// Where the saver's windows go on a desktop of several monitors.
#include <gtest/gtest.h>

#include "form/monitor_list.h"

namespace {

using Monitors = std::vector<TMonitor>;

TEST(LayoutSaver, ThePrimaryGetsTheAquariumEveryOtherMonitorACover) {
    // Different sizes, negative origins, the primary listed last.
    const Monitors monitors{{-1920, -300, 1920, 1080, false}, {2560, 0, 1024, 1280, false}, {0, 0, 2560, 1440, true}};
    const TSaverLayout desktop = LayoutSaver(monitors, 2560, 1440, false);
    EXPECT_EQ(desktop.Saver, (TMonitor{0, 0, 2560, 1440, true}));
    EXPECT_EQ(desktop.Covers, (Monitors{{-1920, -300, 1920, 1080, false}, {2560, 0, 1024, 1280, false}}));

    // Switched to a smaller mode: the aquarium takes the mode's size at the primary's origin.
    const TSaverLayout switched = LayoutSaver(monitors, 800, 600, true);
    EXPECT_EQ(switched.Saver, (TMonitor{0, 0, 800, 600, true}));
    EXPECT_EQ(switched.Covers.size(), 2u);

    // On X the mode is the one screen across every monitor: the primary's own size wins.
    EXPECT_EQ(LayoutSaver(monitors, 5504, 1440, false).Saver, (TMonitor{0, 0, 2560, 1440, true}));
    EXPECT_EQ(LayoutSaver(monitors, 5504, 1440, true).Saver, (TMonitor{0, 0, 2560, 1440, true}));

    // The mark wins over the origin: the monitor at (0, 0) is a secondary one here.
    const Monitors marked{{0, 0, 1280, 1024, false}, {1280, 0, 1920, 1080, true}};
    const TSaverLayout right = LayoutSaver(marked, 1920, 1080, false);
    EXPECT_EQ(right.Saver, (TMonitor{1280, 0, 1920, 1080, true}));
    EXPECT_EQ(right.Covers, (Monitors{{0, 0, 1280, 1024, false}}));
}

TEST(LayoutSaver, WithoutAMarkedPrimaryTheMonitorAtTheOriginThenTheFirst) {
    const Monitors atOrigin{{1280, 0, 1280, 1024, false}, {0, 0, 1280, 1024, false}};
    EXPECT_EQ(LayoutSaver(atOrigin, 1280, 1024, false).Saver, (TMonitor{0, 0, 1280, 1024, true}));
    EXPECT_EQ(LayoutSaver(atOrigin, 1280, 1024, false).Covers, (Monitors{{1280, 0, 1280, 1024, false}}));

    // An X primary away from the origin keeps its place.
    const Monitors away{{-800, 100, 800, 600, false}, {200, 50, 640, 480, false}};
    const TSaverLayout layout = LayoutSaver(away, 1440, 650, false);
    EXPECT_EQ(layout.Saver, (TMonitor{-800, 100, 800, 600, true}));
    EXPECT_EQ(layout.Covers, (Monitors{{200, 50, 640, 480, false}}));
}

TEST(LayoutSaver, MirrorsEmptyAndDegenerateListsNeedNoCover) {
    EXPECT_EQ(LayoutSaver({}, 640, 480, false).Saver, (TMonitor{0, 0, 640, 480, true}));
    EXPECT_TRUE(LayoutSaver({}, 640, 480, false).Covers.empty());
    // A clone of the primary and a monitor inside it (a second output showing part of it).
    const Monitors mirrored{{0, 0, 1920, 1080, true}, {0, 0, 1920, 1080, false}, {0, 0, 1280, 720, false},
                            {0, 0, 0, 0, false}, {1920, 0, 1280, 1024, false}, {1920, 0, 1280, 1024, false}};
    const TSaverLayout layout = LayoutSaver(mirrored, 1920, 1080, false);
    EXPECT_EQ(layout.Covers, (Monitors{{1920, 0, 1280, 1024, false}}));  // once, however often listed
    // A smaller switched mode no longer covers a clone of the old size: it gets a cover.
    EXPECT_EQ(LayoutSaver(mirrored, 1280, 720, true).Covers.size(), 2u);
}

}  // namespace
