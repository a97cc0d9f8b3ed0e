// Saver windows on the X server in DISPLAY (the test script starts an Xvfb).
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "gl/gl_api.h"
#include "gl/opengl_engine.h"
#include "platform/services.h"
#include "platform/x11/x11_platform.h"
#include "platform/x11/x11_window_system.h"

namespace {

// Handles events until `done` or a second has passed.
template <typename F>
bool PumpUntil(TX11WindowSystem& system, F done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (!system.ProcessOne()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Send(Display* display, ::Window window, int type, long mask) {
    XEvent event{};
    event.type = type;
    event.xany.window = window;
    event.xany.display = display;
    if (type == MotionNotify) {
        event.xmotion.x = 17;
        event.xmotion.y = 23;
    }
    XSendEvent(display, window, False, mask, &event);
    XFlush(display);
}

TEST(X11WindowSystem, SaverWindowPaintsAndReportsInput) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TX11WindowSystem system;
    auto window = system.CreateSaverWindow("3D Tidewell", 0, 0, 320, 240);
    int paints = 0, keys = 0, buttons = 0, moveX = -1, moveY = -1;
    window->OnPaint = [&] { ++paints; };
    window->OnKey = [&] { ++keys; };
    window->OnMouseButton = [&] { ++buttons; };
    window->OnMouseMove = [&](int x, int y) {
        moveX = x;
        moveY = y;
    };
    EXPECT_FALSE(window->Visible());
    window->Show();
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(window->Width(), 320);
    EXPECT_TRUE(PumpUntil(system, [&] { return paints > 0; }));
    window->Paint();  // synchronous
    EXPECT_GE(paints, 2);

    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const auto id = static_cast<::Window>(window->NativeHandle());
    Send(other, id, KeyPress, KeyPressMask);
    Send(other, id, ButtonPress, ButtonPressMask);
    Send(other, id, MotionNotify, PointerMotionMask);
    EXPECT_TRUE(PumpUntil(system, [&] { return keys == 1 && buttons == 1 && moveX == 17; }));
    EXPECT_EQ(moveY, 23);
    window->Hide();
    EXPECT_FALSE(window->Visible());
    XCloseDisplay(other);
}

// The cursor over a shown saver window, as the server draws it: no pixel of it may be seen
// (a cursor made from a picture left uninitialised would show whatever the server had there).
TEST(X11WindowSystem, SaverWindowShowsNoCursor) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TX11WindowSystem system;
    system.PrepareDrawing();  // the driver loads meanwhile, as in a real start
    auto window = system.CreateSaverWindow("3D Tidewell", 0, 0, 320, 240);
    window->Show();
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    int eventBase = 0, errorBase = 0;
    if (!XFixesQueryExtension(other, &eventBase, &errorBase)) {
        XCloseDisplay(other);
        GTEST_SKIP() << "no XFIXES to read the cursor";
    }
    XWarpPointer(other, None, static_cast<::Window>(window->NativeHandle()), 0, 0, 0, 0, 160, 120);
    XSync(other, False);
    XFixesCursorImage* cursor = XFixesGetCursorImage(other);
    ASSERT_NE(cursor, nullptr);
    int seen = 0;
    for (int i = 0; i < cursor->width * cursor->height; ++i) seen += (cursor->pixels[i] >> 24) != 0;
    EXPECT_EQ(seen, 0) << cursor->width << "x" << cursor->height << " cursor";
    XFree(cursor);
    system.FinishPreparingDrawing();
    XCloseDisplay(other);
}

TEST(X11WindowSystem, PreviewChildCoversItsParentAndEndsWithIt) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TX11WindowSystem system;
    EXPECT_EQ(system.CreateChildWindow(0), nullptr);
    EXPECT_EQ(system.CreateChildWindow(0x7FFFFFF), nullptr);  // no such window: no crash

    Display* desktop = XOpenDisplay(nullptr);  // the "desktop" that owns the parent window
    ASSERT_NE(desktop, nullptr);
    const ::Window parent = XCreateSimpleWindow(desktop, DefaultRootWindow(desktop), 0, 0, 152, 112, 0, 0, 0);
    XMapWindow(desktop, parent);
    XSync(desktop, False);

    auto child = system.CreateChildWindow(static_cast<std::intptr_t>(parent));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Width(), 152);
    EXPECT_EQ(child->Height(), 112);
    bool gone = false;
    child->OnDestroyed = [&] { gone = true; };
    child->Show();
    XDestroyWindow(desktop, parent);
    XSync(desktop, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return gone; }));
    EXPECT_FALSE(child->Visible());
    child.reset();  // nothing left to destroy: no X error
    XCloseDisplay(desktop);
}

// xscreensaver's window, drawn into as it is: its size followed, never unmapped or destroyed by
// us, its end reported. Requests on it after xscreensaver destroyed it do not end the process.
TEST(X11WindowSystem, AdoptedWindowFollowsItsOwnersSizeAndOutlivesNothing) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TX11WindowSystem system;
    EXPECT_EQ(system.AdoptWindow(0), nullptr);
    EXPECT_EQ(system.AdoptWindow(0x7FFFFFF), nullptr);
    auto root = system.AdoptWindow(-1);
    ASSERT_NE(root, nullptr);
    Display* display = system.Connection();
    EXPECT_EQ(root->Width(), DisplayWidth(display, DefaultScreen(display)));
    root.reset();

    Display* owner = XOpenDisplay(nullptr);  // xscreensaver
    ASSERT_NE(owner, nullptr);
    const ::Window window = XCreateSimpleWindow(owner, DefaultRootWindow(owner), 0, 0, 200, 100, 0, 0, 0);
    XMapWindow(owner, window);
    XSync(owner, False);
    auto adopted = system.AdoptWindow(static_cast<std::intptr_t>(window));
    ASSERT_NE(adopted, nullptr);
    EXPECT_EQ(adopted->Width(), 200);
    adopted->Show();
    adopted->Hide();  // only stops drawing: the window stays mapped
    XWindowAttributes attributes{};
    XGetWindowAttributes(owner, window, &attributes);
    EXPECT_EQ(attributes.map_state, IsViewable);
    adopted->Show();
    XResizeWindow(owner, window, 300, 150);
    XSync(owner, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return adopted->Width() == 300 && adopted->Height() == 150; }));

    // Dropped while its owner still has it: the window lives on.
    adopted.reset();
    EXPECT_NE(XGetWindowAttributes(owner, window, &attributes), 0);

    adopted = system.AdoptWindow(static_cast<std::intptr_t>(window));
    ASSERT_NE(adopted, nullptr);
    bool gone = false;
    adopted->OnDestroyed = [&] { gone = true; };
    XDestroyWindow(owner, window);
    XSync(owner, False);
    // A request on the window that is gone, as a frame in flight makes one.
    XClearWindow(display, window);
    XSync(display, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return gone; }));
    EXPECT_FALSE(adopted->Visible());
    XCloseDisplay(owner);
}

// Nobody sees a child whose top-level window is unmapped (minimised), nor a window wholly
// covered by another; both are seen again when that ends. Xvfb has no DPMS: never asleep.
TEST(X11WindowSystem, UnmappedAncestorsAndCoveringWindowsMakeAWindowUnseen) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TX11WindowSystem system;
    Display* other = XOpenDisplay(nullptr);  // the dialog's toolkit, or xscreensaver
    ASSERT_NE(other, nullptr);
    const ::Window root = DefaultRootWindow(other);
    const ::Window top = XCreateSimpleWindow(other, root, 0, 0, 300, 200, 0, 0, 0);
    const ::Window panel = XCreateSimpleWindow(other, top, 10, 10, 152, 112, 0, 0, 0);
    XMapWindow(other, panel);
    XMapWindow(other, top);
    XSync(other, False);
    auto child = system.CreateChildWindow(static_cast<std::intptr_t>(panel));
    ASSERT_NE(child, nullptr);
    child->Show();
    EXPECT_FALSE(child->Unseen());
    XUnmapWindow(other, top);
    XSync(other, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return child->Unseen(); }));
    XMapWindow(other, top);
    XSync(other, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return !child->Unseen(); }));
    child.reset();

    auto adopted = system.AdoptWindow(static_cast<std::intptr_t>(top));
    ASSERT_NE(adopted, nullptr);
    const ::Window cover = XCreateSimpleWindow(other, root, 0, 0, 400, 300, 0, 0, 0);
    XMapRaised(other, cover);
    XSync(other, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return adopted->Unseen(); }));
    XUnmapWindow(other, cover);
    XSync(other, False);
    EXPECT_TRUE(PumpUntil(system, [&] { return !adopted->Unseen(); }));
    EXPECT_FALSE(system.DisplayAsleep());
    adopted.reset();
    XCloseDisplay(other);
}

// A quit signal wakes a loop that waits for X events and runs the stop once, from the loop.
TEST(X11WindowSystem, AQuitSignalWakesTheWaitingLoopAndStopsOnce) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TX11WindowSystem system;
    while (system.ProcessOne()) {
    }
    int quits = 0;
    system.WatchQuitSignals([&] { ++quits; });
    std::thread later([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(getpid(), SIGHUP);
    });
    system.WaitForMessage();  // returns: nothing else would wake it
    later.join();
    EXPECT_EQ(quits, 0);  // not in the handler: in the loop
    EXPECT_TRUE(system.ProcessOne());
    EXPECT_EQ(quits, 1);
    raise(SIGTERM);  // a second one after the stop neither ends the process nor stops again
    while (system.ProcessOne()) {
    }
    EXPECT_EQ(quits, 1);
    // The test program keeps default handling for the next tests.
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) signal(s, SIG_DFL);
}

// xscreensaver may destroy its hack's window under a context that draws into it: the hack ends
// with status 0, never with Xlib's report of the failed request or a driver drawing past its
// memory.
TEST(X11WindowSystemDeathTest, AHackWhoseWindowGoesUnderItsContextEndsWithStatusZero) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TX11WindowSystem system;
            Display* owner = XOpenDisplay(nullptr);
            const ::Window window = XCreateSimpleWindow(owner, DefaultRootWindow(owner), 0, 0, 64, 48, 0, 0, 0);
            XMapWindow(owner, window);
            XSync(owner, False);
            auto adopted = system.AdoptWindow(static_cast<std::intptr_t>(window));
            if (!adopted) std::_Exit(3);
            auto drawing = CreateX11DrawingWindow(system, *adopted);
            IGLDevice* device = drawing->AcquireDevice();
            TOpenGLEngine engine(SystemLibraryLoader());
            engine.SetDC(device);
            engine.ResetDefaults();
            if (!engine.Init()) std::_Exit(4);
            engine.Activate();
            XDestroyWindow(owner, window);
            XSync(owner, False);
            for (int frame = 0; frame < 3; ++frame) {
                gl.Clear(GL_COLOR_BUFFER_BIT);
                engine.Swap(device);
                gl.Finish();
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
