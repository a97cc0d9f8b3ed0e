#pragma once
// An off-screen OpenGL context on Mesa's surfaceless EGL platform: desktop GL, compatibility
// profile (fixed function works), drawing into a pbuffer of a fixed size. Used by the tests and
// the offline tools; needs no display server.
#include <cstdint>
#include <string>
#include <vector>

class HeadlessGLContext {
public:
    struct Config {
        int width = 256;
        int height = 256;
        int depthBits = 24;
        int stencilBits = 0;
    };

    // Throws Exception with the failing EGL step when no context can be made.
    explicit HeadlessGLContext(const Config& config);
    HeadlessGLContext() : HeadlessGLContext(Config{}) {}
    ~HeadlessGLContext();
    HeadlessGLContext(const HeadlessGLContext&) = delete;
    HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

    void MakeCurrent();
    int Width() const { return width_; }
    int Height() const { return height_; }
    // RGBA bytes, bottom row first, as glReadPixels returns them.
    std::vector<std::uint8_t> ReadPixels();
    // GL_RENDERER of the context.
    std::string Renderer();
    // Entry points the loader cannot find by name in the GL library.
    static void* GetProcAddress(const char* name);

private:
    void* display_ = nullptr;
    void* context_ = nullptr;
    void* surface_ = nullptr;
    int width_;
    int height_;
};
