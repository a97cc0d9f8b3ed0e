#include <gtest/gtest.h>

#include "gl/pixel_format.h"

namespace {

TEST(PixelFormat, RequestFlagsFollowTheDeviceAndBuffering) {
    TPixelFormatRequest request;
    auto window = BuildPixelFormatDescriptor(request, kObjDC);
    EXPECT_EQ(window.nSize, 40);
    EXPECT_EQ(window.nVersion, 1);
    EXPECT_EQ(window.dwFlags, kPfdSupportOpenGL | kPfdDrawToWindow | kPfdDoubleBuffer);
    EXPECT_EQ(window.cColorBits, 16);
    EXPECT_EQ(window.cDepthBits, 16);
    for (std::uint32_t type : {kObjMetaDC, kObjMemDC, kObjEnhMetaDC}) {
        auto bitmap = BuildPixelFormatDescriptor(request, type);
        EXPECT_EQ(bitmap.dwFlags & (kPfdDrawToBitmap | kPfdDrawToWindow), kPfdDrawToBitmap) << type;
    }
    request.doubleBuffered = false;
    request.genericFormat = true;
    request.colorBits = 0x118;  // only the low byte travels
    request.stencilBits = 8;
    request.alphaBits = 8;
    request.accumBits = 64;
    auto single = BuildPixelFormatDescriptor(request, kObjDC);
    EXPECT_EQ(single.dwFlags, kPfdSupportOpenGL | kPfdDrawToWindow | kPfdSupportGdi | kPfdGenericFormat);
    EXPECT_EQ(single.cColorBits, 0x18);
    EXPECT_EQ(single.cStencilBits, 8);
    EXPECT_EQ(single.cAlphaBits, 8);
    EXPECT_EQ(single.cAccumBits, 64);
    EXPECT_EQ(single.iPixelType, kPfdTypeRgba);
    EXPECT_EQ(single.cAuxBuffers, 0);
    EXPECT_EQ(single.iLayerType, kPfdMainPlane);
}

TEST(PixelFormat, ThreeThreeTwoPaletteSpansBlackToWhite) {
    TPixelFormatDescriptor d{};
    d.cColorBits = 8;
    d.cRedBits = 3;
    d.cRedShift = 0;
    d.cGreenBits = 3;
    d.cGreenShift = 3;
    d.cBlueBits = 2;
    d.cBlueShift = 6;
    const auto entries = BuildPaletteEntries(d);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries[0].red + entries[0].green + entries[0].blue, 0);
    EXPECT_EQ(entries[255].red, 255);
    EXPECT_EQ(entries[255].green, 255);
    EXPECT_EQ(entries[255].blue, 255);
    EXPECT_EQ(entries[255].flags, 0);
    // Index 0b01'010'011: red 3 -> 3*255/7 = 109, green 2 -> 72, blue 1 -> 85 (truncated).
    const auto& e = entries[0b01010011];
    EXPECT_EQ(e.red, 109);
    EXPECT_EQ(e.green, 72);
    EXPECT_EQ(e.blue, 85);
}

TEST(PixelFormat, PaletteWithAMissingComponentDoesNotDivideByZero) {
    TPixelFormatDescriptor d{};
    d.cColorBits = 4;
    d.cRedBits = 4;
    const auto entries = BuildPaletteEntries(d);
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries[15].red, 255);
    EXPECT_EQ(entries[15].green, 0);
}

TEST(PixelFormat, SoftwareRenderersAreRecognised) {
    EXPECT_TRUE(IsSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsSoftwareRenderer("Mesa X11 softpipe"));
    EXPECT_TRUE(IsSoftwareRenderer("Software Rasterizer"));
    EXPECT_TRUE(IsSoftwareRenderer("GDI Generic"));
    EXPECT_FALSE(IsSoftwareRenderer("AMD Radeon RX 6600 (radeonsi, navi23)"));
    EXPECT_FALSE(IsSoftwareRenderer(""));
}

}  // namespace
