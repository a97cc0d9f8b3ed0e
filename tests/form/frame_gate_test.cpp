#include "form/frame_gate.h"

#include <gtest/gtest.h>

TEST(WhollyCovered, AreaUnderTheCovers) {
    const TScreenRect area{100, 100, 300, 200};
    EXPECT_TRUE(WhollyCovered(area, {{0, 0, 400, 400}}));
    // Two halves meeting edge to edge, and a gap of one pixel between them.
    EXPECT_TRUE(WhollyCovered(area, {{100, 100, 200, 200}, {200, 100, 300, 200}}));
    EXPECT_FALSE(WhollyCovered(area, {{100, 100, 199, 200}, {200, 100, 300, 200}}));
    // A cover reaching past the area's side counts only where it overlaps.
    EXPECT_FALSE(WhollyCovered(area, {{150, 50, 500, 250}}));
    EXPECT_TRUE(WhollyCovered(area, {{150, 50, 500, 250}, {-50, 90, 151, 201}}));
    EXPECT_FALSE(WhollyCovered(area, {}));
    EXPECT_FALSE(WhollyCovered(area, {{0, 0, 0, 0}, {300, 100, 400, 200}}));
    EXPECT_TRUE(WhollyCovered({5, 5, 5, 9}, {}));
}

// Covers over part of the area leave it seen: one corner, and all four corners around an open middle.
TEST(WhollyCovered, PartlyCoveredAreaIsSeen) {
    const TScreenRect area{100, 100, 300, 200};
    EXPECT_FALSE(WhollyCovered(area, {{250, 150, 400, 300}}));
    EXPECT_FALSE(WhollyCovered(area, {{0, 0, 150, 150}, {250, 0, 400, 150}, {0, 150, 150, 300}, {250, 150, 400, 300}}));
}
