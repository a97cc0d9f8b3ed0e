// The -fps overlay on a real GL context: digits in the lower left corner, nothing elsewhere, and
// the state the scene relies on (enabled caps, matrices, colour) left as it was.
#include <gtest/gtest.h>

#include "gl/gl_api.h"
#include "scene/fps_overlay.h"
#include "support/gl_test_context.h"

namespace {

TEST(FpsOverlay, DrawsInTheLowerLeftCornerAndRestoresTheScenesState) {
    GLTestContext context(160, 120);
    gl.ClearColor(0, 0, 1, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.Enable(GL_TEXTURE_2D);
    gl.Enable(GL_DEPTH_TEST);
    gl.Disable(GL_BLEND);
    gl.Color4f(0.25f, 0.5f, 0.75f, 1);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(-3, 3, -2, 2, -1, 1);
    GLfloat projection[16];
    gl.GetFloatv(GL_PROJECTION_MATRIX, projection);
    gl.MatrixMode(GL_MODELVIEW);

    DrawFpsOverlay(160, 120, 88);
    ASSERT_EQ(gl.GetError(), static_cast<GLenum>(GL_NO_ERROR));

    // "FPS: 88" at 2-pixel cells from (4, 4) up from the bottom: the F's top bar is lit.
    int lit = 0, untouched = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const Rgba p = context.PixelAt(x, y);
            if (p.r > 200 && p.g > 200 && p.b < 200) ++lit;
        }
    for (const auto& [x, y] : {std::pair{150, 110}, {80, 60}, {150, 5}, {5, 110}}) {
        const Rgba p = context.PixelAt(x, y);
        if (p.r == 0 && p.g == 0 && p.b == 255) ++untouched;
    }
    EXPECT_GT(lit, 40);
    EXPECT_EQ(untouched, 4);

    EXPECT_TRUE(gl.IsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(gl.IsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(gl.IsEnabled(GL_BLEND));
    GLfloat colour[4], after[16];
    gl.GetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    gl.GetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(after[i], projection[i]) << i;
    GLint mode = 0;
    gl.GetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
