#include "platform/headless/egl_device.h"
#include "support/test_drawing_window.h"

struct TestDrawingWindow::Platform {
    HeadlessGLDevice device;
    Platform(int width, int height) : device(width, height) {}
};

TestDrawingWindow::TestDrawingWindow(int w, int h)
    : width(w), height(h), platform_(std::make_unique<Platform>(w, h)) {}

TestDrawingWindow::~TestDrawingWindow() = default;

IGLDevice* TestDrawingWindow::AcquireDevice() {
    ++acquired;
    return &platform_->device;
}

void TestDrawingWindow::ReleaseDevice(IGLDevice*) { ++released; }
