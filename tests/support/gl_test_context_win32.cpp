#include <windows.h>

#include "support/hidden_window_win32.h"
#include "platform/services.h"
#include "platform/win32/wgl_device.h"
#include "support/gl_test_context.h"

// A hidden top-level window of its own per context: a window's pixel format is set only once.
struct GLTestContext::Platform {
    HWND window = nullptr;
    HDC dc = nullptr;
    std::unique_ptr<WglDevice> device;

    Platform(int width, int height) {
        window = CreateHiddenTestWindow(width, height);
        dc = GetDC(window);
        device = std::make_unique<WglDevice>(dc);
    }
    ~Platform() {
        ReleaseDC(window, dc);
        DestroyWindow(window);
    }
};

GLTestContext::GLTestContext(int width, int height)
    : platform_(std::make_unique<Platform>(width, height)), width_(width), height_(height) {
    engine_ = std::make_unique<TOpenGLEngine>(SystemLibraryLoader());
    engine_->SetDC(platform_->device.get());
    engine_->ResetDefaults();
    engine_->ColorBits = 32;
    engine_->DepthBits = 24;
    engine_->Init();
    engine_->Activate();
}

GLTestContext::~GLTestContext() {
    engine_->Deactivate();
    engine_->DestroyRC();
    engine_->SetDC(nullptr);
    engine_.reset();
}

IGLDevice& GLTestContext::Device() { return *platform_->device; }
