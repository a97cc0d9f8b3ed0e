// The engine's device without a display: an off-screen pbuffer on Mesa's surfaceless EGL.
//
// PLATFORM: Linux with Mesa, no display server; for the tests and the offline tools (the
// renderer, the art preview), never for the saver itself.
// LIMITATIONS: one surface of a fixed size, made with the first pixel format; no windows, no
// palette, nothing shown and no swap pacing; software rendering unless Mesa finds a render node.
// DEPENDENCIES: libEGL with EGL_MESA_platform_surfaceless, libOpenGL (glvnd); the engine loads
// libGL and libGLU by name as everywhere.
#include "platform/headless/egl_device.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/exception.h"
#include "platform/egl_configs.h"
#include "platform/posix/gl_driver_pin.h"

namespace {

EGLDisplay SurfacelessDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && !eglInitialize(display, nullptr, nullptr)) return EGL_NO_DISPLAY;
    KeepGlDriverLoaded();
    return display;
}

std::string EglErrorText() {
    char text[40];
    std::snprintf(text, sizeof text, "EGL error 0x%04X", static_cast<unsigned>(eglGetError()));
    return text;
}

class EglRenderContext final : public IGLRenderContext {
public:
    EglRenderContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
    ~EglRenderContext() override {
        if (eglGetCurrentContext() == context_) eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    bool MakeCurrent(IGLDevice& device) override {
        auto* headless = dynamic_cast<HeadlessGLDevice*>(&device);
        if (!headless || !headless->Surface()) return false;
        return eglMakeCurrent(display_, headless->Surface(), headless->Surface(), context_) == EGL_TRUE;
    }
    bool ReleaseCurrent() override {
        return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    std::string LastErrorText() override { return EglErrorText(); }

private:
    EGLDisplay display_;
    EGLContext context_;
};

}  // namespace

HeadlessGLDevice::HeadlessGLDevice(int width, int height) : width_(width), height_(height) {
    display_ = SurfacelessDisplay();
    if (display_ == EGL_NO_DISPLAY) throw Exception("Headless OpenGL: no surfaceless EGL display (" + EglErrorText() + ")");
}

HeadlessGLDevice::~HeadlessGLDevice() {
    if (surface_) eglDestroySurface(display_, surface_);
}

std::uint32_t HeadlessGLDevice::ObjectType() { return kObjMemDC; }

int HeadlessGLDevice::ChoosePixelFormat(const TPixelFormatDescriptor& request) {
    configs_ = ChooseEglConfigs(display_, EGL_PBUFFER_BIT, request, false);
    return configs_.empty() ? 0 : 1;
}

bool HeadlessGLDevice::SetPixelFormat(int format, const TPixelFormatDescriptor&) {
    if (format < 1 || format > static_cast<int>(configs_.size())) return false;
    if (format_ != 0) return format == format_;  // like a window, a surface keeps its first format
    const EGLint attributes[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, configs_[format - 1], attributes);
    if (surface_ == EGL_NO_SURFACE) {
        surface_ = nullptr;
        return false;
    }
    format_ = format;
    return true;
}

bool HeadlessGLDevice::DescribePixelFormat(int format, TPixelFormatDescriptor& d) {
    if (format < 1 || format > static_cast<int>(configs_.size())) return false;
    // Surfaceless Mesa renders in software unless a render node is used.
    d = DescribeEglConfig(display_, configs_[format - 1], kPfdSupportOpenGL | kPfdDrawToBitmap);
    return true;
}

std::unique_ptr<IGLPalette> HeadlessGLDevice::CreatePalette(const std::vector<TPaletteEntry>&) { return nullptr; }

void HeadlessGLDevice::SelectPalette(IGLPalette&) {}

std::unique_ptr<IGLRenderContext> HeadlessGLDevice::CreateContext() {
    if (format_ == 0 || !eglBindAPI(EGL_OPENGL_API)) return nullptr;
    EGLContext context = eglCreateContext(display_, configs_[format_ - 1], EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) return nullptr;
    return std::make_unique<EglRenderContext>(display_, context);
}

bool HeadlessGLDevice::SwapBuffers() { return eglSwapBuffers(display_, surface_) == EGL_TRUE; }
