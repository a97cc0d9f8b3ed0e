// Textures and the viewport, read back from OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/exception.h"
#include "gl/gl_api.h"
#include "gl/primitive.h"
#include "gl/texture.h"
#include "gl/viewport.h"
#include "support/gl_test_context.h"
#include "support/exception_message.h"

namespace {


GLint TexParameter(GLenum target, GLenum name) {
    GLint value = 0;
    gl.GetTexParameteriv(target, name, &value);
    return value;
}

GLint Integer(GLenum name) {
    GLint value = 0;
    gl.GetIntegerv(name, &value);
    return value;
}

// Fills an RGB texture with one colour per row.
void FillRows(TGLTexture& t, std::initializer_list<std::array<std::uint8_t, 3>> rows) {
    int y = 0;
    for (const auto& colour : rows) {
        std::uint8_t* line = t.ScanLine(y++);
        for (int x = 0; x < t.Width(); ++x) std::memcpy(line + x * 3, colour.data(), 3);
    }
}

TEST(TGLTexture, SetSizeChecksPowersOfTwo) {
    TGLTexture t;
    EXPECT_EQ(t.Target(), GL_TEXTURE_2D);
    EXPECT_EQ(t.Changed(), 0x36u);
    EXPECT_EQ(t.BytesPerPixel(), 3);
    t.SetSize(tfRGB, 256, 256);
    EXPECT_EQ(t.Target(), GL_TEXTURE_2D);
    EXPECT_EQ(t.RowSize(), 768);
    EXPECT_EQ(t.ScanLine(255) - t.Pixels(), 196608 - 768);
    EXPECT_EQ(t.InternalFormat(), GL_RGB8);
    EXPECT_EQ(t.Changed() & TGLTexture::kImage, TGLTexture::kImage);
    t.SetSize(tfRGBA, 64, 1);
    EXPECT_EQ(t.Target(), GL_TEXTURE_1D);
    EXPECT_EQ(t.BytesPerPixel(), 4);
    EXPECT_EQ(t.RowSize(), 256);
    EXPECT_EQ(t.PixelFormat(), GL_RGBA);
    EXPECT_EQ(t.InternalFormat(), GL_RGBA8);
    for (const auto& size : {std::pair{100, 64}, {64, 0}, {0, 64}, {-2, 2}, {64, 96}}) {
        const int w = size.first, h = size.second;
        EXPECT_EQ(MessageOf([&] { t.SetSize(tfRGB, w, h); }), "TGLTexture.SetSize error: a size is not power 2");
        EXPECT_EQ(t.Pixels(), nullptr);
        EXPECT_EQ(t.Width(), 64);  // keeps its old sizes
        EXPECT_EQ(t.Height(), 1);
    }
    t.SetSize(7, 2, 2);  // unknown format: upload formats stay
    EXPECT_EQ(t.BytesPerPixel(), 4);
    EXPECT_EQ(t.RowSize(), 8);
    // 2^30 RGB pixels do not fit a 32-bit row size: out of memory, nothing changed.
    EXPECT_THROW(t.SetSize(tfRGB, 1 << 30, 1), std::bad_alloc);
    EXPECT_EQ(t.Width(), 2);
    EXPECT_EQ(t.RowSize(), 8);
    t.FreePixels();
    EXPECT_EQ(t.ScanLine(0), nullptr);
}

TEST(TGLTexture, SettersMapToOpenGLValues) {
    TGLTexture t;
    t.SetFilter(TGLTextureFilter::NearestMipmapLinear);
    EXPECT_EQ(t.MagFilter(), GL_NEAREST);
    EXPECT_EQ(t.MinFilter(), GL_NEAREST_MIPMAP_LINEAR);
    t.SetFilter(TGLTextureFilter::LinearMipmapNearest);
    EXPECT_EQ(t.MagFilter(), GL_LINEAR);
    EXPECT_EQ(t.MinFilter(), GL_LINEAR_MIPMAP_NEAREST);
    t.SetRepeat(false);
    EXPECT_EQ(t.WrapMode(), GL_CLAMP);
    t.SetEnvMode(TGLTextureEnvMode::Replace);
    EXPECT_EQ(t.GLEnvMode(), GL_REPLACE);
    t.SetEnvMode(TGLTextureEnvMode::Decal);
    EXPECT_EQ(t.GLEnvMode(), GL_DECAL);
}

TEST(TGLTexture, FirstBindCreatesUploadsAndEnables) {
    GLTestContext context;
    TGLTexture t;
    t.SetSize(tfRGB, 2, 2);  // 6-byte rows: packed, not padded
    FillRows(t, {{{255, 0, 0}}, {{0, 0, 255}}});
    t.Bind();
    ASSERT_TRUE(t.Created());
    EXPECT_NE(t.Name(), 0u);
    EXPECT_TRUE(gl.IsTexture(t.Name()));
    EXPECT_TRUE(gl.IsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), t.Name());
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_LINEAR));
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), static_cast<GLint>(GL_REPEAT));
    GLint mode = 0;
    gl.GetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, static_cast<GLint>(GL_MODULATE));
    std::uint8_t image[12] = {};
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.GetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image);
    EXPECT_EQ(image[0], 255);
    EXPECT_EQ(image[6 + 2], 255);  // second row blue

    // A second Bind only binds: state changed behind its back stays.
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.BindTexture(GL_TEXTURE_2D, 0);
    t.Bind();
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), t.Name());
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_NEAREST));
    // A changed value goes out with the next Bind.
    t.SetRepeat(false);
    t.SetEnvColor({0.5f, 0, 0, 1});
    t.Bind();
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), static_cast<GLint>(GL_CLAMP));
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_NEAREST));
    GLfloat colour[4] = {};
    gl.GetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    EXPECT_EQ(colour[0], 0.5f);
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLTexture, DeleteNameThenBindUploadsAgain) {
    GLTestContext context;
    TGLTexture t;
    t.SetSize(tfRGB, 4, 4);
    FillRows(t, {{{0, 255, 0}}, {{0, 255, 0}}, {{0, 255, 0}}, {{0, 255, 0}}});
    t.Bind();
    const GLuint first = t.Name();
    t.DeleteName();
    EXPECT_FALSE(t.Created());
    EXPECT_FALSE(gl.IsTexture(first));
    t.Bind();
    EXPECT_TRUE(t.Created());
    EXPECT_TRUE(gl.IsTexture(t.Name()));
    GLint width = 0;
    gl.GetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 4);
    std::uint8_t image[48] = {};
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.GetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image);
    EXPECT_EQ(image[45 + 1], 255);
}

// A texture told not to keep its image frees it with the upload; the texels stay in GL, and a
// second upload has nothing to send: an error, never undefined texels.
TEST(TGLTexture, ImageFreedAfterUploadWhenNotKept) {
    GLTestContext context;
    TGLTexture t;
    t.SetSize(tfRGB, 4, 4);
    FillRows(t, {{{0, 255, 0}}, {{0, 255, 0}}, {{0, 255, 0}}, {{0, 255, 0}}});
    t.SetKeepPixels(false);
    t.Bind();
    EXPECT_EQ(t.Pixels(), nullptr);
    std::uint8_t image[48] = {};
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.GetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image);
    EXPECT_EQ(image[45 + 1], 255);
    t.Bind();  // already uploaded: nothing to send
    t.DeleteName();
    EXPECT_THROW(t.Bind(), Exception);
}

TEST(TGLTexture, OneDimensionalTextureDrawsAcrossAPrimitive) {
    GLTestContext context(32, 32);
    TGLTexture t;
    t.SetSize(tfRGBA, 2, 1);
    const std::uint8_t texels[] = {255, 0, 0, 255, 0, 0, 255, 255};
    std::memcpy(t.ScanLine(0), texels, sizeof texels);
    t.SetFilter(TGLTextureFilter::Nearest);
    t.SetEnvMode(TGLTextureEnvMode::Replace);
    t.Bind();
    EXPECT_TRUE(gl.IsEnabled(GL_TEXTURE_1D));
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_1D)), t.Name());
    GLint internal = 0;
    gl.GetTexLevelParameteriv(GL_TEXTURE_1D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    EXPECT_EQ(internal, static_cast<GLint>(GL_RGBA8));
    gl.Disable(GL_TEXTURE_2D);

    TGLPrimitive quad;
    quad.Vertices.SetFromArray(std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0});
    quad.Indices.SetFromArray(std::vector<Index>{0, 1, 2, 0, 2, 3});
    quad.TexCoords.SetFromArray(std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1});
    quad.Draw();
    EXPECT_EQ(context.PixelAt(4, 16).r, 255);
    EXPECT_EQ(context.PixelAt(28, 16).b, 255);
    EXPECT_EQ(context.PixelAt(28, 16).r, 0);
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLTextureList, HoldsReferences) {
    auto* t = new TGLTexture;
    TGLTextureList list;
    list.Add(t);
    EXPECT_EQ(t->RefCount(), 1);
    EXPECT_EQ(MessageOf([&] { list.Add(nullptr); }), "TGLTextureList error: Add NIL Texture!");
    EXPECT_EQ(MessageOf([&] { list.Get(3); }), "List index out of bounds (3)");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TGLViewport, PerspectiveArithmetic) {
    TGLViewport v;
    EXPECT_EQ(v.Width(), 100);
    EXPECT_EQ(v.Frustum().zFar, 100.0);
    v.SetPerspective(90, 2, 1, 100);
    EXPECT_NEAR(v.Frustum().top, 1.0, 1e-12);
    EXPECT_NEAR(v.Frustum().bottom, -1.0, 1e-12);
    EXPECT_NEAR(v.Frustum().right, 2.0, 1e-12);
    EXPECT_NEAR(v.Frustum().left, -2.0, 1e-12);
    EXPECT_EQ(v.Frustum().zNear, 1.0);
    v.SetPerspective(60, 1, 0.5, 10);
    EXPECT_NEAR(v.Frustum().top, 0.288675134594813, 1e-12);
    EXPECT_TRUE(v.Perspective);
}

std::array<float, 16> Matrix16(GLenum name) {
    std::array<float, 16> m{};
    gl.GetFloatv(name, m.data());
    return m;
}

TEST(TGLViewport, FreshViewportAppliesItsDefaults) {
    GLTestContext context;
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.Translatef(1, 2, 3);
    gl.Enable(GL_DITHER);
    gl.Enable(GL_LINE_SMOOTH);
    TGLViewport v;
    v.Apply();
    GLint box[4] = {};
    gl.GetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(box[0], 0);
    EXPECT_EQ(box[2], 100);
    EXPECT_EQ(box[3], 100);
    const auto p = Matrix16(GL_PROJECTION_MATRIX);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[5], 1.0f);
    EXPECT_FLOAT_EQ(p[10], -101.0f / 99.0f);
    EXPECT_FLOAT_EQ(p[11], -1.0f);
    EXPECT_FLOAT_EQ(p[14], -200.0f / 99.0f);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), static_cast<GLint>(GL_MODELVIEW));
    EXPECT_FLOAT_EQ(Matrix16(GL_MODELVIEW_MATRIX)[13], 2.0f);
    EXPECT_FALSE(gl.IsEnabled(GL_DITHER));
    EXPECT_FALSE(gl.IsEnabled(GL_LIGHTING));
    for (GLenum cap : {GL_POLYGON_SMOOTH, GL_LINE_SMOOTH, GL_POINT_SMOOTH}) EXPECT_FALSE(gl.IsEnabled(cap));
    for (GLenum hint : {GL_POLYGON_SMOOTH_HINT, GL_LINE_SMOOTH_HINT, GL_POINT_SMOOTH_HINT})
        EXPECT_EQ(Integer(hint), static_cast<GLint>(GL_FASTEST));
    EXPECT_EQ(Integer(GL_PERSPECTIVE_CORRECTION_HINT), static_cast<GLint>(GL_NICEST));
    EXPECT_EQ(Integer(GL_SHADE_MODEL), static_cast<GLint>(GL_SMOOTH));
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLViewport, OrthoSwitchesAndRepairs) {
    GLTestContext context;
    TGLViewport v;
    v.Perspective = false;
    v.SetOrtho(0, 4, 0, 2, -1, 1);
    v.SetPerspective(90, 1, 1, 10);  // ignored while Perspective is false
    v.SetBounds(8, 4, 32, 16);
    v.Lighting = true;
    v.Dither = true;
    v.Antialias = true;
    v.PerspectiveCorrection = false;
    v.PolygonMode = TGLPolygonMode::Line;
    v.ShadeModel = TGLShadeModel::FlatShading;
    v.Apply();
    const auto p = Matrix16(GL_PROJECTION_MATRIX);
    EXPECT_FLOAT_EQ(p[0], 0.5f);
    EXPECT_FLOAT_EQ(p[5], 1.0f);
    EXPECT_FLOAT_EQ(p[12], -1.0f);
    EXPECT_FLOAT_EQ(p[11], 0.0f);
    GLint box[4] = {};
    gl.GetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(box[0], 8);
    EXPECT_EQ(box[1], 4);
    EXPECT_EQ(box[2], 32);
    GLint modes[2] = {};
    gl.GetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], static_cast<GLint>(GL_LINE));
    EXPECT_EQ(Integer(GL_SHADE_MODEL), static_cast<GLint>(GL_FLAT));
    EXPECT_EQ(Integer(GL_PERSPECTIVE_CORRECTION_HINT), static_cast<GLint>(GL_FASTEST));
    EXPECT_TRUE(gl.IsEnabled(GL_LIGHTING));
    EXPECT_TRUE(gl.IsEnabled(GL_DITHER));
    EXPECT_TRUE(gl.IsEnabled(GL_LINE_SMOOTH));
    EXPECT_EQ(Integer(GL_POINT_SMOOTH_HINT), static_cast<GLint>(GL_NICEST));
    // Every Apply sends every switch: it repairs what others changed.
    gl.Disable(GL_LIGHTING);
    gl.ShadeModel(GL_SMOOTH);
    v.Apply();
    EXPECT_TRUE(gl.IsEnabled(GL_LIGHTING));
    EXPECT_EQ(Integer(GL_SHADE_MODEL), static_cast<GLint>(GL_FLAT));
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

}  // namespace
