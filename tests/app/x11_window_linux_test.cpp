// Saver windows on the X server in DISPLAY (the test script starts an Xvfb).
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

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

}  // namespace
