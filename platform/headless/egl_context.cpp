#include "platform/headless/egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include "app/exception.h"
#include "platform/posix/gl_driver_pin.h"

namespace {

[[noreturn]] void Fail(const std::string& step) {
    throw Exception("Headless OpenGL: " + step + " failed (EGL error 0x" + [] {
        char buf[16];
        snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(eglGetError()));
        return std::string(buf);
    }() + ")");
}

EGLDisplay OpenSurfacelessDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) Fail("eglGetPlatformDisplayEXT lookup");
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) Fail("surfaceless display");
    if (!eglInitialize(display, nullptr, nullptr)) Fail("eglInitialize");
    KeepGlDriverLoaded();
    return display;
}

}  // namespace

HeadlessGLContext::HeadlessGLContext(const Config& config) : width_(config.width), height_(config.height) {
    EGLDisplay display = OpenSurfacelessDisplay();
    display_ = display;
    try {
        const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                           EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                           EGL_DEPTH_SIZE, config.depthBits, EGL_STENCIL_SIZE, config.stencilBits,
                                           EGL_NONE};
        EGLConfig eglConfig = nullptr;
        EGLint found = 0;
        if (!eglChooseConfig(display, configAttributes, &eglConfig, 1, &found) || found == 0) Fail("eglChooseConfig");
        if (!eglBindAPI(EGL_OPENGL_API)) Fail("eglBindAPI(OpenGL)");
        context_ = eglCreateContext(display, eglConfig, EGL_NO_CONTEXT, nullptr);
        if (context_ == EGL_NO_CONTEXT) Fail("eglCreateContext");
        const EGLint surfaceAttributes[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
        surface_ = eglCreatePbufferSurface(display, eglConfig, surfaceAttributes);
        if (surface_ == EGL_NO_SURFACE) Fail("eglCreatePbufferSurface");
        MakeCurrent();
    } catch (...) {
        this->~HeadlessGLContext();
        throw;
    }
}

HeadlessGLContext::~HeadlessGLContext() {
    if (!display_) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_) eglDestroySurface(display_, surface_);
    if (context_) eglDestroyContext(display_, context_);
    display_ = context_ = surface_ = nullptr;  // the display stays initialised for the process
}

void HeadlessGLContext::MakeCurrent() {
    if (!eglMakeCurrent(display_, surface_, surface_, context_)) Fail("eglMakeCurrent");
}

std::vector<std::uint8_t> HeadlessGLContext::ReadPixels() {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::string HeadlessGLContext::Renderer() {
    const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return text ? text : "";
}

void* HeadlessGLContext::GetProcAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}
