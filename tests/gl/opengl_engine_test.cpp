// The engine: loading, context creation with a scripted device, the real binding, error texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/exception.h"
#include "gl/fpu.h"
#include "gl/gl_api.h"
#include "gl/opengl_engine.h"
#include "platform/services.h"
#include "support/fake_gl_device.h"
#include "support/gl_test_context.h"
#include "support/exception_message.h"

namespace {


TEST(OpenGLEngine, DefaultsAndResetDefaults) {
    FakeLibraryLoader loader;
    TOpenGLEngine engine(loader);
    EXPECT_TRUE(engine.DoubleBuffered);
    EXPECT_FALSE(engine.Active());
    EXPECT_FALSE(engine.LibraryLoaded());
    EXPECT_FALSE(engine.GenericFormat);
    EXPECT_EQ(engine.DepthBits, 16);
    EXPECT_EQ(engine.ColorBits, 16);
    EXPECT_EQ(engine.AccumBits + engine.StencilBits + engine.AlphaBits, 0);
    EXPECT_EQ(engine.GLLibraryName + engine.GLULibraryName, "");  // the device's
    EXPECT_EQ(engine.RC(), nullptr);
    EXPECT_EQ(engine.Palette(), nullptr);
    engine.DoubleBuffered = false;
    engine.GenericFormat = true;
    engine.ColorBits = 32;
    engine.AccumBits = 8;
    engine.ResetDefaults();
    EXPECT_TRUE(engine.DoubleBuffered);
    EXPECT_FALSE(engine.GenericFormat);
    EXPECT_EQ(engine.ColorBits, 16);
    EXPECT_EQ(engine.AccumBits, 0);
}

TEST(OpenGLEngine, InitWithoutDeviceFailsAndLoadsNothing) {
    FakeLibraryLoader loader;
    {
        TOpenGLEngine engine(loader);
        EXPECT_EQ(MessageOf([&] { engine.Init(); }), "Init OpenGL failed: DC is not assigned!");
        EXPECT_FALSE(engine.Active());
    }
    EXPECT_TRUE(loader.opened.empty());
    EXPECT_TRUE(loader.closed.empty());
}

TEST(OpenGLEngine, MissingGLULibraryLeavesNeitherLoaded) {
    FakeLibraryLoader loader;
    loader.missing = {"GLU32.DLL"};
    FakeGLDevice device;
    TOpenGLEngine engine(loader);
    engine.GLLibraryName = "OpenGL32.DLL";
    engine.GLULibraryName = "GLU32.DLL";
    engine.SetDC(&device);
    EXPECT_EQ(MessageOf([&] { engine.Init(); }), "Load library failed: OpenGL DLL is not found!");
    EXPECT_EQ(loader.opened, std::vector<std::string>{"OpenGL32.DLL"});
    EXPECT_TRUE(loader.open.empty());
    EXPECT_FALSE(engine.LibraryLoaded());
    EXPECT_FALSE(OpenGLLoaded());
    EXPECT_FALSE(engine.Active());
    EXPECT_EQ(engine.RC(), nullptr);
}

TEST(OpenGLEngine, BogusLibraryNameFailsOnTheRealLoader) {
    FakeGLDevice device;
    TOpenGLEngine engine(SystemLibraryLoader());
    engine.GLLibraryName = "no-such-opengl-library-7f3a";
    engine.SetDC(&device);
    EXPECT_EQ(MessageOf([&] { engine.Init(); }), "Load library failed: OpenGL DLL is not found!");
    EXPECT_FALSE(OpenGLLoaded());
    EXPECT_EQ(gl.Clear, nullptr);
}

TEST(OpenGLEngine, InitCopiesBackTheDescribedFormat) {
    FakeLibraryLoader loader;
    FakeGLDevice device;
    device.objectType = kObjMemDC;
    device.described.cColorBits = 32;
    device.described.cDepthBits = 24;
    device.described.cStencilBits = 8;
    device.described.cAlphaBits = 8;
    device.described.cAccumBits = 64;
    device.described.dwFlags = kPfdGenericFormat | kPfdSupportOpenGL;
    {
        TOpenGLEngine engine(loader);
        engine.SetDC(&device);
        engine.DoubleBuffered = false;
        ASSERT_TRUE(engine.Init());
        EXPECT_TRUE(engine.Active());
        EXPECT_TRUE(engine.LibraryLoaded());
        EXPECT_EQ(loader.opened, (std::vector<std::string>{"fake-gl", "fake-glu"}));  // the device's
        EXPECT_EQ(device.requested.dwFlags, kPfdSupportOpenGL | kPfdDrawToBitmap | kPfdSupportGdi);
        EXPECT_EQ(device.requested.cColorBits, 16);
        EXPECT_EQ(device.setFormat, 7);
        EXPECT_EQ(engine.ColorBits, 32);
        EXPECT_EQ(engine.DepthBits, 24);
        EXPECT_EQ(engine.StencilBits, 8);
        EXPECT_EQ(engine.AlphaBits, 8);
        EXPECT_EQ(engine.AccumBits, 64);
        EXPECT_TRUE(engine.GenericFormat);
        EXPECT_EQ(engine.Palette(), nullptr);
        ASSERT_NE(engine.RC(), nullptr);

        engine.Activate();
        EXPECT_EQ(device.makeCurrentCalls, 1);
        engine.Swap(&device);
        EXPECT_EQ(device.swaps, 1);
        engine.Deactivate();
        EXPECT_EQ(device.releaseCalls, 1);
        engine.DestroyRC();
        EXPECT_FALSE(engine.Active());
        EXPECT_EQ(engine.RC(), nullptr);
        EXPECT_EQ(device.contextsDeleted, 1);
        engine.Activate();  // inactive: nothing
        EXPECT_EQ(device.makeCurrentCalls, 1);
        // A second Init reuses the loaded libraries.
        ASSERT_TRUE(engine.Init());
        EXPECT_EQ(loader.opened.size(), 2u);
    }
    EXPECT_EQ(device.contextsDeleted, 2);
    EXPECT_TRUE(loader.open.empty());
}

TEST(OpenGLEngine, PaletteFormatGetsARealisedPalette) {
    FakeLibraryLoader loader;
    FakeGLDevice device;
    device.described.dwFlags = kPfdNeedPalette;
    device.described.cColorBits = 8;
    device.described.cRedBits = 3;
    device.described.cGreenBits = 3;
    device.described.cGreenShift = 3;
    device.described.cBlueBits = 2;
    device.described.cBlueShift = 6;
    TOpenGLEngine engine(loader);
    engine.SetDC(&device);
    engine.Init();
    ASSERT_NE(engine.Palette(), nullptr);
    ASSERT_EQ(device.selected, engine.Palette());
    EXPECT_EQ(device.selected->entries.size(), 256u);
    EXPECT_EQ(device.selected->entries[255].blue, 255);
    engine.DestroyRC();
    EXPECT_EQ(engine.Palette(), nullptr);
    EXPECT_EQ(device.palettesDeleted, 1);
}

TEST(OpenGLEngine, CreateRCFailuresCarryTheirMessages) {
    struct Case {
        void (*breakIt)(FakeGLDevice&);
        const char* message;
    };
    const Case cases[] = {
        {[](FakeGLDevice& d) { d.chooseResult = 0; }, "Create RC failed: pixel format is not choosed!"},
        {[](FakeGLDevice& d) { d.setSucceeds = false; }, "Create RC failed: pixel format is not set!"},
        {[](FakeGLDevice& d) {
             d.described.dwFlags = kPfdNeedPalette;
             d.paletteSucceeds = false;
         },
         "Create RC failed: palette is not created!"},
        {[](FakeGLDevice& d) { d.contextSucceeds = false; }, "Create RC failed: layer context is not created!"},
    };
    for (const Case& c : cases) {
        FakeLibraryLoader loader;
        FakeGLDevice device;
        c.breakIt(device);
        TOpenGLEngine engine(loader);
        engine.SetDC(&device);
        EXPECT_EQ(MessageOf([&] { engine.Init(); }), c.message);
        EXPECT_FALSE(engine.Active());
        EXPECT_TRUE(engine.LibraryLoaded()) << "libraries stay loaded after a failed Init";
    }
}

TEST(OpenGLEngine, SetDCReleasesTheContextAndReportsFailure) {
    FakeLibraryLoader loader;
    FakeGLDevice device, other;
    TOpenGLEngine engine(loader);
    engine.SetDC(&device);  // no context yet: nothing released
    EXPECT_EQ(device.releaseCalls, 0);
    engine.Init();
    engine.SetDC(&other);
    EXPECT_EQ(device.releaseCalls, 1);
    EXPECT_EQ(engine.DC(), &other);
    device.releaseSucceeds = false;
    EXPECT_EQ(MessageOf([&] { engine.SetDC(nullptr); }), "The handle is invalid.");
    EXPECT_EQ(engine.DC(), &other);
}

TEST(OpenGLEngine, DestroyOfAnUnusedEngineTouchesNothing) {
    FakeLibraryLoader loader;
    { TOpenGLEngine engine(loader); }
    EXPECT_TRUE(loader.opened.empty());
    EXPECT_TRUE(loader.closed.empty());
}

GLenum pendingError = GL_NO_ERROR;
GLenum TW_APIENTRY FakeGetError() { return pendingError; }

TEST(OpenGLEngine, CheckErrorRaisesTheSevenTexts) {
    const auto saved = gl.GetError;
    gl.GetError = FakeGetError;
    const std::pair<GLenum, const char*> cases[] = {
        {0x500, "OpenGL error: An unacceptable value is specified for an enumerated argument!"},
        {0x501, "OpenGL error: A numeric argument is out of range!"},
        {0x502, "OpenGL error: The specified operation is not allowed in the current state!"},
        {0x503, "OpenGL error: Stack overflow!"},
        {0x504, "OpenGL error: Stack underflow!"},
        {0x505, "OpenGL error: There is not enough memory left to execute the function!"},
        {0x506, "OpenGL error: Undefined error!"},
    };
    for (const auto& [code, text] : cases) {
        pendingError = code;
        EXPECT_EQ(MessageOf([] { CheckGLError(); }), text);
    }
    pendingError = GL_NO_ERROR;
    EXPECT_NO_THROW(CheckGLError());
    gl.GetError = saved;
}

TEST(FPU, MaskingTurnsDivisionByZeroIntoInfinity) {
#if defined(__x86_64__) || defined(__i386__)
    const auto savedX87 = GetX87ControlWord();
    const auto savedSSE = GetSSEControlWord();
    SetX87ControlWord(0x1372 & ~0x0004);        // zero-divide unmasked
    SetSSEControlWord((savedSSE & ~0x0200u) | 0x2000u);  // zero-divide unmasked, round down
    MaskFPUExceptions();
    EXPECT_EQ(GetX87ControlWord() & ~0x0040, 0x133F) << "bit 6 is reserved and may read as 1";
    EXPECT_EQ(GetSSEControlWord() & 0x7F80u, 0x1F80u);
    volatile double zero = 0.0;
    volatile long double zeroL = 0.0L;
    EXPECT_TRUE(std::isinf(1.0 / zero));
    EXPECT_TRUE(std::isinf(1.0L / zeroL));
    EXPECT_TRUE(std::isnan(zero / zero));
    SetSSEControlWord(savedSSE);
    SetX87ControlWord(savedX87);
#else
    GTEST_SKIP() << "no x86 control words";
#endif
}

TEST(OpenGLEngine, DrawsThroughTheLoadedTable) {
    GLTestContext context(32, 16);
    TOpenGLEngine& engine = context.Engine();
    EXPECT_TRUE(engine.Active());
    EXPECT_TRUE(engine.LibraryLoaded());
    EXPECT_GE(engine.ColorBits, 24) << "the driver's colour bits, not the request";
    ASSERT_NE(engine.RC(), nullptr);
    gl.ClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    engine.Swap(&context.Device());
    gl.Clear(GL_COLOR_BUFFER_BIT);
    const Rgba pixel = context.PixelAt(31, 15);
    EXPECT_EQ(pixel.r, 255);
    EXPECT_EQ(pixel.g, 0);
    EXPECT_NO_THROW(engine.CheckError());
    gl.PopMatrix();
    EXPECT_EQ(MessageOf([&] { engine.CheckError(); }), "OpenGL error: Stack underflow!");
    EXPECT_NO_THROW(engine.CheckError()) << "one error read per call";
}

TEST(OpenGLEngine, FreeProceduresSwitchCapabilities) {
    GLTestContext context;
    EnableBlending();
    EnableCulling();
    EnableDepthTest();
    EnableLighting();
    EnableTexturing();
    gl.Enable(GL_FOG);
    gl.Enable(GL_STENCIL_TEST);
    for (GLenum cap : {GL_BLEND, GL_CULL_FACE, GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_1D, GL_TEXTURE_2D})
        EXPECT_TRUE(gl.IsEnabled(cap)) << cap;
    DisableFog();
    DisableBlending();
    DisableDepthTest();
    DisableLighting();
    DisableTexturing();
    DisableStencil();
    for (GLenum cap : {GL_FOG, GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_STENCIL_TEST})
        EXPECT_FALSE(gl.IsEnabled(cap)) << cap;
    SetAmbientLight(0.25f, 0.5f, 0.75f);
    GLfloat ambient[4] = {};
    gl.GetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.25f);
    EXPECT_FLOAT_EQ(ambient[2], 0.75f);
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    EXPECT_NO_THROW(context.Engine().CheckError());
}

}  // namespace
