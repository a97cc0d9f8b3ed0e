#pragma once
// A current OpenGL context made by the engine itself, for the portable GL tests: headless EGL
// on Linux, a hidden window with WGL on Windows. Every test gets fresh GL state.
#include <cstdint>
#include <memory>
#include <vector>

#include "gl/opengl_engine.h"

struct Rgba {
    int r, g, b, a;
};

class GLTestContext {
public:
    explicit GLTestContext(int width = 64, int height = 64);
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    TOpenGLEngine& Engine() { return *engine_; }
    IGLDevice& Device();
    int Width() const { return width_; }
    int Height() const { return height_; }
    // RGBA bytes of the buffer drawn into, bottom row first.
    std::vector<std::uint8_t> ReadPixels();
    Rgba PixelAt(int x, int y);

private:
    struct Platform;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<TOpenGLEngine> engine_;
    int width_;
    int height_;
};
