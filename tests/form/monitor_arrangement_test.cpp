// Which monitors the saver draws on, and the views each gets in the one window over them.
#include <gtest/gtest.h>

#include "form/monitor_arrangement.h"

namespace {

using Monitors = std::vector<TMonitor>;
using Views = std::vector<TTankView>;

TEST(ArrangeMonitors, EachMonitorItsOwnTankInOneWindowAroundThemAll) {
    // Different sizes, a negative origin, a gap, one above another, the primary listed last.
    const Monitors monitors{{-1920, -300, 1920, 1080, false}, {2660, 0, 1024, 1280, false}, {0, 0, 2560, 1440, true},
                            {0, -900, 1600, 900, false}};
    const TMonitorArrangement each = ArrangeMonitors(monitors, 2560, 1440, false, mcEachOwn);
    EXPECT_EQ(each.Layout.Saver, (TMonitor{-1920, -900, 5604, 2340, true}));
    EXPECT_TRUE(each.Layout.Covers.empty());
    const Views expected{{{1920, 900, 2560, 1440}, {1920, 900, 2560, 1440}, 0},
                         {{0, 600, 1920, 1080}, {0, 600, 1920, 1080}, 1},
                         {{4580, 900, 1024, 1280}, {4580, 900, 1024, 1280}, 2},
                         {{1920, 0, 1600, 900}, {1920, 0, 1600, 900}, 3}};
    EXPECT_EQ(each.Views, expected);

    // Across all: the same parts, one tank over the whole window.
    const TMonitorArrangement across = ArrangeMonitors(monitors, 2560, 1440, false, mcAcrossAll);
    EXPECT_EQ(across.Layout.Saver, each.Layout.Saver);
    ASSERT_EQ(across.Views.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(across.Views[i].Part, expected[i].Part);
        EXPECT_EQ(across.Views[i].Whole, (TViewRect{0, 0, 5604, 2340}));
        EXPECT_EQ(across.Views[i].Tank, 0);
    }

    // The primary alone: today's window and covers, no views.
    const TMonitorArrangement primary = ArrangeMonitors(monitors, 2560, 1440, false, mcPrimaryOnly);
    EXPECT_EQ(primary.Layout.Saver, (TMonitor{0, 0, 2560, 1440, true}));
    EXPECT_EQ(primary.Layout.Covers.size(), 3u);
    EXPECT_TRUE(primary.Views.empty());
}

TEST(ArrangeMonitors, ThePrimaryAwayFromTheOriginAndShrunkByAModeSwitch) {
    const Monitors monitors{{1280, 0, 1920, 1080, true}, {0, 200, 1280, 1024, false}};
    const TMonitorArrangement away = ArrangeMonitors(monitors, 1920, 1080, false, mcEachOwn);
    EXPECT_EQ(away.Layout.Saver, (TMonitor{0, 0, 3200, 1224, true}));
    EXPECT_EQ(away.Views[0].Part, (TViewRect{1280, 0, 1920, 1080}));
    EXPECT_EQ(away.Views[1].Part, (TViewRect{0, 200, 1280, 1024}));

    // 800 x 600 on the primary: its view shrinks, the gap it leaves is no view at all.
    const TMonitorArrangement switched = ArrangeMonitors(monitors, 800, 600, true, mcAcrossAll);
    EXPECT_EQ(switched.Layout.Saver, (TMonitor{0, 0, 2080, 1224, true}));
    EXPECT_EQ(switched.Views[0].Part, (TViewRect{1280, 0, 800, 600}));
    EXPECT_EQ(switched.Views[0].Whole, (TViewRect{0, 0, 2080, 1224}));
}

TEST(ArrangeMonitors, MirrorsShareAViewAndOneMonitorNeedsNoViews) {
    const Monitors mirrored{{0, 0, 1920, 1080, true}, {0, 0, 1920, 1080, false}, {0, 0, 1280, 720, false},
                            {1920, 0, 1280, 1024, false}, {1920, 0, 1280, 1024, false}, {2000, 0, 640, 480, false}};
    const TMonitorArrangement each = ArrangeMonitors(mirrored, 1920, 1080, false, mcEachOwn);
    EXPECT_EQ(each.Layout.Saver, (TMonitor{0, 0, 3200, 1080, true}));
    EXPECT_EQ(each.Views.size(), 2u);
    EXPECT_TRUE(each.Layout.Covers.empty());

    // Only clones of the primary, or no list at all: one tank in the primary's window.
    const Monitors clones{{0, 0, 1920, 1080, true}, {0, 0, 1920, 1080, false}};
    EXPECT_TRUE(ArrangeMonitors(clones, 1920, 1080, false, mcAcrossAll).Views.empty());
    const TMonitorArrangement none = ArrangeMonitors({}, 640, 480, false, mcEachOwn);
    EXPECT_EQ(none.Layout.Saver, (TMonitor{0, 0, 640, 480, true}));
    EXPECT_TRUE(none.Views.empty());
}

}  // namespace
