#pragma once
// The engine's device on Mesa's surfaceless EGL platform: an off-screen pbuffer of a fixed
// size with desktop OpenGL (compatibility profile). For tests and offline rendering.
#include <memory>
#include <vector>

#include "gl/gl_device.h"

class HeadlessGLDevice final : public IGLDevice {
public:
    HeadlessGLDevice(int width, int height);
    ~HeadlessGLDevice() override;
    HeadlessGLDevice(const HeadlessGLDevice&) = delete;
    HeadlessGLDevice& operator=(const HeadlessGLDevice&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }

    std::uint32_t ObjectType() override;
    int ChoosePixelFormat(const TPixelFormatDescriptor& request) override;
    bool SetPixelFormat(int format, const TPixelFormatDescriptor& request) override;
    bool DescribePixelFormat(int format, TPixelFormatDescriptor& described) override;
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>& entries) override;
    void SelectPalette(IGLPalette& palette) override;
    std::unique_ptr<IGLRenderContext> CreateContext() override;
    bool SwapBuffers() override;
    // The GL and GLU libraries of the desktop's GLVND, whose dispatch follows the current EGL context.
    TGLLibrary Library() override { return {nullptr, "libGL.so.1", "libGLU.so.1"}; }

    void* Display() const { return display_; }
    void* Surface() const { return surface_; }

private:
    void* display_ = nullptr;
    std::vector<void*> configs_;
    int format_ = 0;
    void* surface_ = nullptr;
    int width_;
    int height_;
};
