// Saver windows under Wine.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include "app/exception.h"
#include "platform/services.h"
#include "platform/win32/win32_display.h"
#include "platform/win32/win32_window_system.h"

namespace {

template <typename F>
bool PumpUntil(TWin32WindowSystem& system, F done) {
    for (int i = 0; i < 500 && !done(); ++i)
        if (!system.ProcessOne()) Sleep(2);
    return done();
}

TEST(Win32WindowSystem, SaverWindowPaintsAndReportsInput) {
    TWin32WindowSystem system;
    auto window = system.CreateSaverWindow("3D Tidewell", 0, 0, 320, 240);
    ASSERT_NE(window, nullptr);
    int paints = 0, keys = 0, buttons = 0, moveX = -1, moveY = -1;
    window->OnPaint = [&] { ++paints; };
    window->OnKey = [&] { ++keys; };
    window->OnMouseButton = [&] { ++buttons; };
    window->OnMouseMove = [&](int x, int y) {
        moveX = x;
        moveY = y;
    };
    window->Show();
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(window->Width(), 320);
    const int before = paints;
    window->Paint();
    EXPECT_EQ(paints, before + 1);  // synchronous

    const auto hwnd = reinterpret_cast<HWND>(window->NativeHandle());
    const LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION);
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    PostMessageA(hwnd, WM_RBUTTONDOWN, 0, 0);
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(17, 23));
    EXPECT_TRUE(PumpUntil(system, [&] { return keys == 1 && buttons == 1 && moveX == 17; }));
    EXPECT_EQ(moveY, 23);

    // A handler's exception leaves the window procedure and comes out of the pump.
    window->OnKey = [] { throw Exception("stop"); };
    PostMessageA(hwnd, WM_KEYDOWN, 'B', 0);
    bool raised = false;
    for (int i = 0; i < 100 && !raised; ++i) {
        try {
            if (!system.ProcessOne()) Sleep(2);
        } catch (const Exception& e) {
            raised = std::string(e.what()) == "stop";
        }
    }
    EXPECT_TRUE(raised);
    window->Hide();
    EXPECT_FALSE(window->Visible());
}

TEST(Win32WindowSystem, PreviewChildCoversItsParentAndEndsWithIt) {
    TWin32WindowSystem system;
    EXPECT_EQ(system.CreateChildWindow(0), nullptr);
    EXPECT_EQ(system.CreateChildWindow(0x7FFF0001), nullptr);
    const HWND parent = CreateWindowExA(0, "STATIC", "desktop preview", WS_POPUP | WS_VISIBLE, 10, 10, 152, 112, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    auto child = system.CreateChildWindow(reinterpret_cast<std::intptr_t>(parent));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Width(), 152);
    EXPECT_EQ(child->Height(), 112);
    bool gone = false;
    child->OnDestroyed = [&] { gone = true; };
    child->Show();
    EXPECT_FALSE(child->Unseen());
    // Minimised with its top-level window, or hidden with it: nobody sees it.
    ShowWindow(parent, SW_MINIMIZE);
    EXPECT_TRUE(child->Unseen());
    ShowWindow(parent, SW_RESTORE);
    EXPECT_FALSE(child->Unseen());
    ShowWindow(parent, SW_HIDE);
    EXPECT_TRUE(child->Unseen());
    DestroyWindow(parent);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(child->Visible());
    child.reset();
}


// A cover over another monitor: where it was put, black, topmost, and its input reaches its
// handlers while the saver window keeps the foreground.
TEST(Win32WindowSystem, CoverWindowsLeaveTheSaverInFrontAndReportInput) {
    TWin32WindowSystem system;
    auto saver = system.CreateSaverWindow("3D Tidewell", 0, 0, 320, 240);
    auto cover = system.CreateCoverWindow(-200, 40, 160, 120);
    ASSERT_NE(cover, nullptr);
    int keys = 0;
    cover->OnKey = [&] { ++keys; };
    cover->Show();
    saver->Show();
    const auto hwnd = reinterpret_cast<HWND>(cover->NativeHandle());
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, -200);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right - rect.left, 160);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(cover->Visible());
    EXPECT_EQ(GetForegroundWindow(), reinterpret_cast<HWND>(saver->NativeHandle()));
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(PumpUntil(system, [&] { return keys == 1; }));

    // Under Wine in the test server: at least the one monitor, the primary at the origin.
    auto monitors = CreateMonitorList(system)->Monitors();
    ASSERT_FALSE(monitors.empty());
    const auto primary = std::find_if(monitors.begin(), monitors.end(), [](const TMonitor& m) { return m.Primary; });
    ASSERT_NE(primary, monitors.end());
    EXPECT_EQ(primary->Left, 0);
    EXPECT_EQ(primary->Top, 0);
    EXPECT_EQ(primary->Width, GetSystemMetrics(SM_CXSCREEN));
}

}  // namespace
