#include "support/gl_test_context.h"

#include "platform/headless/egl_device.h"
#include "platform/services.h"

struct GLTestContext::Platform {
    HeadlessGLDevice device;
    Platform(int width, int height) : device(width, height) {}
};

GLTestContext::GLTestContext(int width, int height)
    : platform_(std::make_unique<Platform>(width, height)), width_(width), height_(height) {
    engine_ = std::make_unique<TOpenGLEngine>(SystemLibraryLoader());
    engine_->SetDC(&platform_->device);
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

IGLDevice& GLTestContext::Device() { return platform_->device; }
