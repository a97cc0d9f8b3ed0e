#include <windows.h>

#include "app/exception.h"
#include "platform/win32/wgl_device.h"
#include "support/test_drawing_window.h"

namespace {

const char* DrawingWindowClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TidewellSceneTest";
        RegisterClassA(&wc);
        return "TidewellSceneTest";
    }();
    return name;
}

}  // namespace

struct TestDrawingWindow::Platform {
    HWND window = nullptr;
    HDC dc = nullptr;
    std::unique_ptr<WglDevice> device;

    Platform(int width, int height) {
        window = CreateWindowExA(0, DrawingWindowClass(), "Scene test", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 0, 0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!window) throw Exception("Scene test: CreateWindowEx failed: " + Win32ErrorText(GetLastError()));
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
