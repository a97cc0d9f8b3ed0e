#include <windows.h>

#include "support/hidden_window_win32.h"
#include "platform/win32/wgl_device.h"
#include "support/test_drawing_window.h"

struct TestDrawingWindow::Platform {
    HWND window = nullptr;
    HDC dc = nullptr;
    std::unique_ptr<WglDevice> device;

    Platform(int width, int height) {
        window = CreateHiddenTestWindow(width, height);
    }
    ~Platform() {
        if (dc) ReleaseDC(window, dc);
        DestroyWindow(window);
    }
};

TestDrawingWindow::TestDrawingWindow(int w, int h)
    : width(w), height(h), platform_(std::make_unique<Platform>(w, h)) {}

TestDrawingWindow::~TestDrawingWindow() = default;

IGLDevice* TestDrawingWindow::AcquireDevice() {
    ++acquired;
    if (!platform_->dc) {
        platform_->dc = GetDC(platform_->window);
        platform_->device = std::make_unique<WglDevice>(platform_->dc);
    }
    return platform_->device.get();
}

void TestDrawingWindow::ReleaseDevice(IGLDevice*) {
    ++released;
    platform_->device.reset();
    ReleaseDC(platform_->window, platform_->dc);
    platform_->dc = nullptr;
}
