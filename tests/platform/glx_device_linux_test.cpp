// The engine on an X window with GLX (needs a display; skipped without one).
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "app/exception.h"
#include "gl/gl_api.h"
#include "gl/opengl_engine.h"
#include "platform/posix/gl_driver_pin.h"
#include "platform/services.h"
#include "platform/x11/glx_device.h"
#include "platform/x11/glx_preload.h"

namespace {

class X11Window {
public:
    X11Window(int width, int height, const TPixelFormatDescriptor& request) {
        if (!std::getenv("DISPLAY") || !(display_ = XOpenDisplay(nullptr))) return;
        const int screen = DefaultScreen(display_);
        XVisualInfo wanted{};
        wanted.visualid = GlxDevice::ChooseVisualId(display_, screen, request);
        int count = 0;
        XVisualInfo* info = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
        if (!info) return;
        const Window root = RootWindow(display_, screen);
        XSetWindowAttributes attributes{};
        attributes.colormap = XCreateColormap(display_, root, info->visual, AllocNone);
        attributes.event_mask = StructureNotifyMask;
        window_ = XCreateWindow(display_, root, 0, 0, width, height, 0, info->depth, InputOutput, info->visual,
                                CWColormap | CWEventMask, &attributes);
        XFree(info);
        XMapWindow(display_, window_);
        XEvent event;
        do XNextEvent(display_, &event);
        while (event.type != MapNotify);
    }
    ~X11Window() {
        if (window_) XDestroyWindow(display_, window_);
        if (display_) XCloseDisplay(display_);
    }
    Display* display() const { return display_; }
    Window window() const { return window_; }

private:
    Display* display_ = nullptr;
    Window window_ = 0;
};

TEST(GlxDevice, EngineDrawsIntoAnXWindowAndReportsItsFormat) {
    TPixelFormatRequest request;
    request.stencilBits = 8;
    X11Window x(64, 48, BuildPixelFormatDescriptor(request, kObjDC));
    if (!x.window()) GTEST_SKIP() << "no X display with GLX";

    GlxDevice device(x.display(), x.window());
    {
        TOpenGLEngine engine(SystemLibraryLoader());
        engine.SetDC(&device);
        engine.ResetDefaults();
        engine.StencilBits = 8;
        ASSERT_TRUE(engine.Init());
        engine.Activate();
        EXPECT_GE(engine.ColorBits, 24) << "the config's bits, not the 16 asked for";
        EXPECT_GE(engine.DepthBits, 16);
        EXPECT_GE(engine.StencilBits, 8);
        const std::string renderer = reinterpret_cast<const char*>(gl.GetString(GL_RENDERER));
        EXPECT_EQ(engine.GenericFormat, IsSoftwareRenderer(renderer)) << renderer;

        gl.ClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        gl.Clear(GL_COLOR_BUFFER_BIT);
        gl.Finish();
        std::uint8_t pixel[4] = {};
        gl.ReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[1], 255);
        EXPECT_EQ(pixel[0], 0);
        engine.Swap(&device);
        EXPECT_NO_THROW(engine.CheckError());
        engine.Deactivate();
        engine.DestroyRC();
    }
    // A window id the server does not know fails as a missing format, not an Xlib exit.
    GlxDevice bogus(x.display(), x.window() + 0x1000);
    {
        TOpenGLEngine engine(SystemLibraryLoader());
        engine.SetDC(&bogus);
        EXPECT_THROW(engine.Init(), Exception);
        EXPECT_EQ(bogus.ChoosePixelFormat(BuildPixelFormatDescriptor(request, kObjDC)), 0);
    }
    // Single-buffered requests get a single-buffered config.
    TPixelFormatRequest singleRequest;
    singleRequest.doubleBuffered = false;
    const auto pfd = BuildPixelFormatDescriptor(singleRequest, kObjDC);
    X11Window single(16, 16, pfd);
    GlxDevice singleDevice(single.display(), single.window());
    if (single.window() && singleDevice.ChoosePixelFormat(pfd) != 0) {
        TPixelFormatDescriptor described{};
        ASSERT_TRUE(singleDevice.DescribePixelFormat(1, described));
        EXPECT_EQ(described.dwFlags & kPfdDoubleBuffer, 0u);
    }
}

// The driver loads on another thread over the same connection while this one goes on with X;
// contexts made afterwards draw, and a second Init on the same device gets a context of
// its own (the renderer probe is handed out once).
TEST(GlxDevice, DriverPreloadsOnAnotherThreadAndInitRepeats) {
    TPixelFormatRequest request;
    X11Window x(32, 32, BuildPixelFormatDescriptor(request, kObjDC));
    if (!x.window()) GTEST_SKIP() << "no X display with GLX";
    std::thread preload(PreloadGlxDriver, x.display());
    for (int i = 0; i < 50; ++i) XSync(x.display(), False);
    preload.join();
    GlxDevice device(x.display(), x.window());
    for (const float red : {1.0f, 0.0f}) {
        TOpenGLEngine engine(SystemLibraryLoader());
        engine.SetDC(&device);
        engine.ResetDefaults();
        ASSERT_TRUE(engine.Init());
        engine.Activate();
        gl.ClearColor(red, 0.0f, 1.0f, 1.0f);
        gl.Clear(GL_COLOR_BUFFER_BIT);
        gl.Finish();
        std::uint8_t pixel[4] = {};
        gl.ReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[0], red > 0 ? 255 : 0);
        EXPECT_EQ(pixel[2], 255);
        engine.Deactivate();
        engine.DestroyRC();
    }
    PreloadGlxDriver(nullptr);  // no connection: nothing to load, nothing raised
}

// Mesa unloads its driver when the display closes; kept loaded, whatever the driver holds for
// the process's life stays in a module that the sanitizers' suppressions can name.
TEST(GlxDevice, TheDriverStaysLoadedAfterItsDisplayCloses) {
    TPixelFormatRequest request;
    const auto pfd = BuildPixelFormatDescriptor(request, kObjDC);
    {
        X11Window x(16, 16, pfd);
        if (!x.window()) GTEST_SKIP() << "no X display with GLX";
        GlxDevice device(x.display(), x.window());
        ASSERT_NE(device.ChoosePixelFormat(pfd), 0);
        ASSERT_TRUE(GlDriverMapped());
    }
    EXPECT_TRUE(GlDriverMapped());
}

}  // namespace
