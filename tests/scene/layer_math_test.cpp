#include <gtest/gtest.h>

#include <cmath>

#include "scene/layer_math.h"

namespace {

TEST(FadeColors, BlendsBetweenFadeStartAndEndAndClamps) {
    TGLVectorDArray v;
    v.SetFromArray(std::vector<float>{0, 0, -1000, 0, 0, -6000, 0, 0, -8000, 0, 0, -10000, 0, 0, -12000, 0, 0, -6001});
    TGLColorDArray c;
    c.SetCount(v.Count());
    const Colour clear{0, 0.5f, 1, 0}, full{0, 0.5f, 1, 1};
    FadeColors(v, c, clear, full, -6000, -10000);
    EXPECT_EQ(c.GetItem(0).a, 0.0f);   // closer than the fade start
    EXPECT_EQ(c.GetItem(1).a, 0.0f);   // exactly at the start: blended with f = 0
    EXPECT_FLOAT_EQ(c.GetItem(2).a, 0.5f);
    EXPECT_EQ(c.GetItem(3).a, 1.0f);
    EXPECT_EQ(c.GetItem(4).a, 1.0f);
    EXPECT_EQ(c.GetItem(5).a, 0.0f);   // f = 0.00025 is below 0.001 and snaps to 0
    EXPECT_FLOAT_EQ(c.GetItem(2).g, 0.5f);

    // Mirrored when near < far.
    FadeColors(v, c, clear, full, -10000, -6000);
    EXPECT_EQ(c.GetItem(0).a, 1.0f);
    EXPECT_EQ(c.GetItem(4).a, 0.0f);
    EXPECT_FLOAT_EQ(c.GetItem(2).a, 0.5f);
}

TEST(FadeColors, LeavesColoursAloneWhenCountsDifferOrTheRangeIsEmpty) {
    TGLVectorDArray v;
    v.SetFromArray(std::vector<float>{0, 0, -8000});
    TGLColorDArray c;
    c.SetFromArray(std::vector<float>{0.25f, 0.25f, 0.25f});
    FadeColors(v, c, {0, 0, 0, 0}, {1, 1, 1, 1}, -6000, -6000.005f);
    EXPECT_EQ(c.GetItem(0).r, 0.25f);
    TGLColorDArray two;
    two.SetCount(2);
    FadeColors(v, two, {0, 0, 0, 0}, {1, 1, 1, 1}, -6000, -10000);
    EXPECT_EQ(two.GetItem(0).a, 0.0f);
}

TEST(Backdrop, SpansTheViewAtTheFarDistance) {
    const auto q = BackdropVertices(90, 10000, 1600, 800, 5000, -3000);
    // tan(45 degrees) * 10000 = 10000 high half-height; twice as wide for a 2:1 window.
    EXPECT_NEAR(q[0].x, -20000, 1);
    EXPECT_EQ(q[0].y, 5000);
    EXPECT_EQ(q[1].y, -3000);
    EXPECT_NEAR(q[2].x, 20000, 1);
    EXPECT_EQ(q[3].z, -10000);
    const auto flat = BackdropVertices(75, 10000, 640, 0, 5000, -3000);
    EXPECT_TRUE(std::isfinite(flat[0].x));

    TGLTextureCoordDArray t;
    t.SetFromArray(std::vector<float>{0, 0, 1, 1});
    ScrollTextureCoords(t, -0.1f * 0.5f, 0.1f * 0.5f);
    EXPECT_FLOAT_EQ(t.GetItem(1).s, 0.95f);
    EXPECT_FLOAT_EQ(t.GetItem(1).t, 1.05f);
}

// The built-in layer: 30000 wide, reaching 10000 deep; a 75 degree view is 2 * 7673 * aspect wide
// there.
TEST(LayerTiles, CopiesOnlyWhereTheViewReachesPastTheLayer) {
    TGLVectorDArray grid;
    grid.SetFromArray(std::vector<float>{-15000, 0, 0, 15000, 0, 0, -15000, 0, -10000, 15000, 0, -10000});
    for (const double aspect : {4.0 / 3.0, 16.0 / 9.0, 0.5}) {
        const TLayerTiles none = LayerTiles(grid, 75, aspect);
        EXPECT_EQ(none.Left + none.Right, 0) << aspect;
    }
    const TLayerTiles ultraWide = LayerTiles(grid, 75, 32.0 / 9.0);  // reaches 27284 to each side
    EXPECT_EQ(ultraWide.Width, 30000.0f);
    EXPECT_EQ(ultraWide.Left, 1);
    EXPECT_EQ(ultraWide.Right, 1);
    const TLayerTiles sixAcross = LayerTiles(grid, 75, 6 * 16.0 / 9.0);  // reaches 81846: three each side
    EXPECT_EQ(sixAcross.Left, 3);
    EXPECT_EQ(sixAcross.Right, 3);

    // A layer off to one side needs copies on the other side only.
    TGLVectorDArray offside;
    offside.SetFromArray(std::vector<float>{0, 0, 0, 30000, 0, -10000});
    const TLayerTiles shifted = LayerTiles(offside, 75, 16.0 / 9.0);
    EXPECT_EQ(shifted.Left, 1);
    EXPECT_EQ(shifted.Right, 0);
    EXPECT_EQ(LayerTiles(TGLVectorDArray{}, 75, 4.0).Right, 0);
}

}  // namespace
