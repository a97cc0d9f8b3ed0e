// The headless context draws fixed-function GL: a lit, textured quad from client arrays.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "platform/headless/egl_context.h"

namespace {

struct Rgba {
    int r, g, b, a;
};

Rgba PixelAt(const std::vector<std::uint8_t>& pixels, int width, int x, int y) {
    const auto* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

TEST(HeadlessContext, IsDesktopGLWithFixedFunction) {
    HeadlessGLContext gl({64, 32, 24, 0});
    EXPECT_EQ(gl.Width(), 64);
    EXPECT_FALSE(gl.Renderer().empty());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 32);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto pixels = gl.ReadPixels();
    const Rgba corner = PixelAt(pixels, 64, 63, 31);
    EXPECT_EQ(corner.b, 255);
    EXPECT_EQ(corner.r, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(HeadlessContext, DrawsALitTexturedQuadFromClientArrays) {
    constexpr int kSize = 64;
    HeadlessGLContext gl({kSize, kSize, 24, 0});

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // 2x2 texture: red, green / blue, white (rows bottom-up).
    const std::uint8_t texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);

    // One directional light at half intensity, no ambient: every texel is halved.
    const GLfloat zero[] = {0, 0, 0, 1}, half[] = {0.5f, 0.5f, 0.5f, 1}, white[] = {1, 1, 1, 1};
    const GLfloat direction[] = {0, 0, 1, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, zero);
    glLightfv(GL_LIGHT0, GL_AMBIENT, zero);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, half);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);

    const GLfloat vertices[] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    const GLfloat normals[] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    const GLfloat coords[] = {0, 0, 1, 0, 1, 1, 0, 1};
    const GLuint indices[] = {0, 1, 2, 0, 2, 3};
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glNormalPointer(GL_FLOAT, 0, normals);
    glTexCoordPointer(2, GL_FLOAT, 0, coords);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, indices);
    glFinish();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const auto pixels = gl.ReadPixels();
    auto near = [](int value, int expected) { return std::abs(value - expected) <= 2; };
    const Rgba bottomLeft = PixelAt(pixels, kSize, 16, 16);
    const Rgba bottomRight = PixelAt(pixels, kSize, 48, 16);
    const Rgba topLeft = PixelAt(pixels, kSize, 16, 48);
    const Rgba topRight = PixelAt(pixels, kSize, 48, 48);
    EXPECT_TRUE(near(bottomLeft.r, 128) && bottomLeft.g == 0 && bottomLeft.b == 0) << bottomLeft.r;
    EXPECT_TRUE(bottomRight.r == 0 && near(bottomRight.g, 128) && bottomRight.b == 0) << bottomRight.g;
    EXPECT_TRUE(topLeft.r == 0 && topLeft.g == 0 && near(topLeft.b, 128)) << topLeft.b;
    EXPECT_TRUE(near(topRight.r, 128) && near(topRight.g, 128) && near(topRight.b, 128)) << topRight.r;

    glDeleteTextures(1, &texture);
}

}  // namespace
