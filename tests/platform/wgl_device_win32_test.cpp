// The engine on a hidden window with WGL: the format Windows really set, the device kinds,
// and the OpenGL 1.2 entry points that only the context can provide.
#include <gtest/gtest.h>

#include <windows.h>

#include "gl/gl_api.h"
#include "gl/opengl_engine.h"
#include "platform/win32/wgl_device.h"
#include "support/gl_test_context.h"

namespace {

TEST(WglDevice, EngineCopiesBackTheFormatWindowsSet) {
    GLTestContext context(32, 32);
    auto& device = static_cast<WglDevice&>(context.Device());
    EXPECT_EQ(device.ObjectType(), kObjDC);
    const int format = GetPixelFormat(device.DC());
    ASSERT_NE(format, 0);
    PIXELFORMATDESCRIPTOR pfd{};
    ASSERT_NE(DescribePixelFormat(device.DC(), format, sizeof pfd, &pfd), 0);
    EXPECT_TRUE(pfd.dwFlags & PFD_DRAW_TO_WINDOW);
    EXPECT_TRUE(pfd.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);
    TOpenGLEngine& engine = context.Engine();
    EXPECT_EQ(engine.ColorBits, pfd.cColorBits);
    EXPECT_EQ(engine.DepthBits, pfd.cDepthBits);
    EXPECT_EQ(engine.GenericFormat, (pfd.dwFlags & PFD_GENERIC_FORMAT) != 0);
    EXPECT_NE(wgl.GetCurrentContext(), nullptr);
    // Not exported by OpenGL32.DLL; found through wglGetProcAddress once current.
    EXPECT_NE(gl.DrawRangeElements, nullptr);

    gl.ClearColor(0, 0, 1, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    const Rgba pixel = context.PixelAt(5, 5);
    EXPECT_EQ(pixel.b, 255);
    EXPECT_EQ(pixel.r, 0);
    engine.Swap(&device);
    EXPECT_NO_THROW(engine.CheckError());
    engine.Deactivate();
    EXPECT_EQ(wgl.GetCurrentContext(), nullptr);
}

TEST(WglDevice, MemoryDeviceIsReportedAsOne) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    WglDevice device(memory);
    EXPECT_EQ(device.ObjectType(), kObjMemDC);
    const auto pfd = BuildPixelFormatDescriptor(TPixelFormatRequest{}, device.ObjectType());
    EXPECT_TRUE(pfd.dwFlags & PFD_DRAW_TO_BITMAP);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(WglDevice, PaletteIsCreatedFromTheEntries) {
    HDC screen = GetDC(nullptr);
    WglDevice device(screen);
    TPixelFormatDescriptor d{};
    d.cColorBits = 8;
    d.cRedBits = 3;
    d.cGreenBits = 3;
    d.cGreenShift = 3;
    d.cBlueBits = 2;
    d.cBlueShift = 6;
    auto palette = device.CreatePalette(BuildPaletteEntries(d));
    EXPECT_NE(palette, nullptr);
    palette.reset();
    ReleaseDC(nullptr, screen);
}

}  // namespace
