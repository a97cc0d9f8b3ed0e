#pragma once
// A drawing window for scene tests: an off-screen surface on Linux (headless EGL), a hidden
// window on Windows (WGL). Counts the devices handed out and given back.
#include <memory>

#include "scene/drawing_window.h"

class TestDrawingWindow final : public IDrawingWindow {
public:
    TestDrawingWindow(int width, int height);
    ~TestDrawingWindow() override;
    TestDrawingWindow(const TestDrawingWindow&) = delete;
    TestDrawingWindow& operator=(const TestDrawingWindow&) = delete;

    std::int32_t ClientWidth() const override { return width; }
    std::int32_t ClientHeight() const override { return height; }
    IGLDevice* AcquireDevice() override;
    void ReleaseDevice(IGLDevice* device) override;

    // The size the scene sees; the surface keeps its first size.
    int width;
    int height;
    int acquired = 0;
    int released = 0;

private:
    struct Platform;
    std::unique_ptr<Platform> platform_;
};
