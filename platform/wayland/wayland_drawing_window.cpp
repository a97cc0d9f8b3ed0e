// The drawing side of a Wayland saver window: an EGL window surface on each output's surface
// and one desktop OpenGL context (compatibility profile: the engine is fixed-function). With
// one surface covering the window the engine draws straight into it. With several, it draws
// into a framebuffer object of the window's size, and each swap copies every output's part into
// that output's surface. Swaps wait for the surfaces' frame callbacks, not for EGL's swap
// interval (0): a surface whose callback does not come within half a second is not shown, takes
// no frame, and makes the window unseen until its callback comes.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

#include "platform/egl_configs.h"
#include "platform/paced_device.h"
#include "platform/posix/gl_driver_pin.h"
#include "platform/wayland/wayland_platform.h"
#include "platform/wayland/wayland_window_system.h"

namespace {

constexpr auto kFrameWait = std::chrono::milliseconds(500);

void FrameDone(void* data, wl_callback* callback, std::uint32_t) {
    auto& piece = *static_cast<TSurfacePiece*>(data);
    wl_callback_destroy(callback);
    if (piece.Frame == callback) piece.Frame = nullptr;
    // The loop may be waiting while the window is unseen: it draws again now.
    if (piece.Unseen) piece.System.Wake();
    piece.Unseen = false;
}
constexpr wl_callback_listener kFrameListener{FrameDone};

// The framebuffer-object entry points (GL 3.0 / ARB_framebuffer_object).
struct TFramebufferApi {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;

    template <typename F>
    static void Load(F& entry, const char* name) {
        entry = reinterpret_cast<F>(eglGetProcAddress(name));
    }
    bool Loaded() {
        if (BlitFramebuffer) return true;
        Load(GenFramebuffers, "glGenFramebuffers");
        Load(DeleteFramebuffers, "glDeleteFramebuffers");
        Load(BindFramebuffer, "glBindFramebuffer");
        Load(GenRenderbuffers, "glGenRenderbuffers");
        Load(DeleteRenderbuffers, "glDeleteRenderbuffers");
        Load(BindRenderbuffer, "glBindRenderbuffer");
        Load(RenderbufferStorage, "glRenderbufferStorage");
        Load(FramebufferRenderbuffer, "glFramebufferRenderbuffer");
        Load(BlitFramebuffer, "glBlitFramebuffer");
        return GenFramebuffers && DeleteFramebuffers && BindFramebuffer && GenRenderbuffers && DeleteRenderbuffers &&
               BindRenderbuffer && RenderbufferStorage && FramebufferRenderbuffer && BlitFramebuffer;
    }
};

class TWaylandGLDevice;

class TWaylandContext final : public IGLRenderContext {
public:
    TWaylandContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
    ~TWaylandContext() override;
    bool MakeCurrent(IGLDevice& device) override;
    bool ReleaseCurrent() override {
        return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    std::string LastErrorText() override {
        char text[40];
        std::snprintf(text, sizeof text, "EGL error 0x%04X", static_cast<unsigned>(eglGetError()));
        return text;
    }

private:
    EGLDisplay display_;
    EGLContext context_;
};

class TWaylandGLDevice final : public IGLDevice {
public:
    TWaylandGLDevice(TWaylandWindowSystem& system, TWaylandWindow& window)
        : system_(system), window_(window), display_(system.EglDisplay()) {
        window_.PiecesChanged = [this] { Rebind(); };
    }
    ~TWaylandGLDevice() override {
        window_.PiecesChanged = nullptr;
        if (fbo_ && eglGetCurrentContext() == context_) DropFramebuffer();
    }

    TFrameTimer Timer;

    std::uint32_t ObjectType() override { return kObjDC; }
    int ChoosePixelFormat(const TPixelFormatDescriptor& request) override {
        if (!display_) return 0;
        configs_ = ChooseEglConfigs(display_, EGL_WINDOW_BIT, request, true);
        return configs_.empty() ? 0 : 1;
    }
    bool SetPixelFormat(int format, const TPixelFormatDescriptor&) override {
        if (format < 1 || format > static_cast<int>(configs_.size())) return false;
        if (format_ != 0) return format == format_;
        format_ = format;
        return true;
    }
    bool DescribePixelFormat(int format, TPixelFormatDescriptor& d) override {
        if (format < 1 || format > static_cast<int>(configs_.size())) return false;
        d = DescribeEglConfig(display_, configs_[format - 1], kPfdSupportOpenGL | kPfdDrawToWindow | kPfdDoubleBuffer);
        return true;
    }
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>&) override { return nullptr; }
    void SelectPalette(IGLPalette&) override {}
    std::unique_ptr<IGLRenderContext> CreateContext() override {
        if (format_ == 0 || !eglBindAPI(EGL_OPENGL_API)) return nullptr;
        // No attributes: a compatibility-profile context, whatever its version.
        EGLContext context = eglCreateContext(display_, configs_[format_ - 1], EGL_NO_CONTEXT, nullptr);
        if (context == EGL_NO_CONTEXT) return nullptr;
        return std::make_unique<TWaylandContext>(display_, context);
    }
    bool SwapBuffers() override { return Present(); }
    TGLLibrary Library() override { return {nullptr, "libGL.so.1", "libGLU.so.1"}; }

    // Makes context current on the window's surfaces, drawing into the framebuffer object when
    // the window has more than one (or none).
    bool Bind(EGLContext context) {
        // A framebuffer object belongs to the context it was made in.
        if (context != context_) fbo_ = 0;
        context_ = context;
        MakeSurfaces();
        TSurfacePiece* first = FirstDrawable();
        EGLSurface surface = first ? static_cast<EGLSurface>(first->EglSurface) : EGL_NO_SURFACE;
        if (!eglMakeCurrent(display_, surface, surface, context_)) return false;
        KeepGlDriverLoaded();
        if (first) NoSwapInterval(*first);
        BindTarget();
        return true;
    }

private:
    TSurfacePiece* FirstDrawable() {
        for (auto& piece : window_.Pieces())
            if (piece->EglSurface) return piece.get();
        return nullptr;
    }
    // One surface showing the whole window: drawn into directly.
    bool Direct() {
        const auto& pieces = window_.Pieces();
        return pieces.size() == 1 && pieces[0]->EglSurface &&
               pieces[0]->InWindow == TMonitor{0, 0, window_.Width(), window_.Height(), false};
    }
    // EGL surfaces on the configured surfaces that have none yet; true when one was made.
    bool MakeSurfaces() {
        bool made = false;
        if (format_ == 0) return made;
        for (auto& piece : window_.Pieces()) {
            if (!piece->Configured) continue;
            const int width = std::max(piece->InWindow.Width, 1), height = std::max(piece->InWindow.Height, 1);
            if (!piece->EglWindow) {
                piece->EglWindow = wl_egl_window_create(piece->Surface, width, height);
                EGLSurface surface = eglCreateWindowSurface(display_, configs_[format_ - 1],
                                                            reinterpret_cast<EGLNativeWindowType>(piece->EglWindow), nullptr);
                piece->EglSurface = surface == EGL_NO_SURFACE ? nullptr : surface;
                made = true;
            } else if (piece->EglWidth != width || piece->EglHeight != height) {
                wl_egl_window_resize(piece->EglWindow, width, height, 0, 0);
            }
            piece->EglWidth = width;
            piece->EglHeight = height;
        }
        return made;
    }
    void NoSwapInterval(TSurfacePiece& piece) {
        if (intervalSet_.insert(piece.EglSurface).second) eglSwapInterval(display_, 0);
    }
    void Rebind() {
        if (context_ != EGL_NO_CONTEXT && eglGetCurrentContext() == context_) Bind(context_);
    }
    void BindTarget() {
        if (!fbApi_.Loaded()) return;
        if (Direct()) {
            fbApi_.BindFramebuffer(GL_FRAMEBUFFER, 0);
            return;
        }
        const int width = std::max(window_.Width(), 1), height = std::max(window_.Height(), 1);
        if (fbo_ && (fboWidth_ != width || fboHeight_ != height)) DropFramebuffer();
        if (!fbo_) {
            fbApi_.GenFramebuffers(1, &fbo_);
            fbApi_.GenRenderbuffers(2, buffers_);
            fbApi_.BindRenderbuffer(GL_RENDERBUFFER, buffers_[0]);
            fbApi_.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
            fbApi_.BindRenderbuffer(GL_RENDERBUFFER, buffers_[1]);
            fbApi_.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
            fbApi_.BindFramebuffer(GL_FRAMEBUFFER, fbo_);
            fbApi_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers_[0]);
            fbApi_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, buffers_[1]);
            fboWidth_ = width;
            fboHeight_ = height;
        }
        fbApi_.BindFramebuffer(GL_FRAMEBUFFER, fbo_);
    }
    void DropFramebuffer() {
        if (!fbo_) return;
        fbApi_.BindFramebuffer(GL_FRAMEBUFFER, 0);
        fbApi_.DeleteFramebuffers(1, &fbo_);
        fbApi_.DeleteRenderbuffers(2, buffers_);
        fbo_ = 0;
    }
    // Waits for the frame callbacks of the last swaps; a surface whose callback does not come
    // in time is unseen.
    void WaitForFrames() {
        const auto deadline = std::chrono::steady_clock::now() + kFrameWait;
        const auto waiting = [this] {
            return std::any_of(window_.Pieces().begin(), window_.Pieces().end(),
                               [](auto& piece) { return piece->Frame && !piece->Unseen; });
        };
        while (waiting()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0 || !system_.ReadEvents(static_cast<int>(left))) break;
        }
        for (auto& piece : window_.Pieces())
            if (piece->Frame) piece->Unseen = true;
    }
    bool Present() {
        Timer.Wait();
        if (context_ == EGL_NO_CONTEXT || eglGetCurrentContext() != context_) return false;
        // A surface configured late gets its EGL surface now, and its part from the next frame.
        if (MakeSurfaces()) {
            Bind(context_);
            return true;
        }
        const bool unpaced = SwapPacingDisabled();
        if (!unpaced) WaitForFrames();
        const bool direct = Direct();
        if (!direct) glFlush();
        for (auto& piece : window_.Pieces()) {
            if (!piece->EglSurface || (piece->Frame && !unpaced)) continue;
            auto surface = static_cast<EGLSurface>(piece->EglSurface);
            if (!direct) {
                if (!fbo_ || !eglMakeCurrent(display_, surface, surface, context_)) continue;
                NoSwapInterval(*piece);
                // The piece of the window, bottom up as GL counts rows, into the whole surface.
                const TMonitor& r = piece->InWindow;
                const int bottom = window_.Height() - (r.Top + r.Height);
                fbApi_.BindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
                fbApi_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
                fbApi_.BlitFramebuffer(r.Left, bottom, r.Left + r.Width, bottom + r.Height, 0, 0, piece->EglWidth,
                                       piece->EglHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            }
            if (piece->Frame) wl_callback_destroy(piece->Frame);
            piece->Frame = wl_surface_frame(piece->Surface);
            wl_callback_add_listener(piece->Frame, &kFrameListener, piece.get());
            eglSwapBuffers(display_, surface);
        }
        if (!direct) {
            TSurfacePiece* first = FirstDrawable();
            EGLSurface surface = first ? static_cast<EGLSurface>(first->EglSurface) : EGL_NO_SURFACE;
            eglMakeCurrent(display_, surface, surface, context_);
            BindTarget();
        }
        wl_display_flush(system_.Display());
        return true;
    }

    TWaylandWindowSystem& system_;
    TWaylandWindow& window_;
    EGLDisplay display_;
    std::vector<EGLConfig> configs_;
    int format_ = 0;
    EGLContext context_ = EGL_NO_CONTEXT;
    TFramebufferApi fbApi_;
    GLuint fbo_ = 0;
    GLuint buffers_[2] = {0, 0};
    int fboWidth_ = 0, fboHeight_ = 0;
    std::set<void*> intervalSet_;
};

TWaylandContext::~TWaylandContext() {
    if (eglGetCurrentContext() == context_) eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
}

bool TWaylandContext::MakeCurrent(IGLDevice& device) {
    auto* wayland = dynamic_cast<TWaylandGLDevice*>(&device);
    return wayland && wayland->Bind(context_);
}

class TWaylandDrawingWindow final : public IDrawingWindow {
public:
    TWaylandDrawingWindow(TWaylandWindowSystem& system, TWaylandWindow& window) : system_(system), window_(window) {}

    std::int32_t ClientWidth() const override { return window_.Width(); }
    std::int32_t ClientHeight() const override { return window_.Height(); }
    IGLDevice* AcquireDevice() override {
        devices_.push_back(std::make_unique<TWaylandGLDevice>(system_, window_));
        devices_.back()->Timer.SetRate(limit_);
        return devices_.back().get();
    }
    void ReleaseDevice(IGLDevice* device) override {
        std::erase_if(devices_, [device](const auto& held) { return held.get() == device; });
    }
    void LimitFrameRate(double framesPerSecond) override {
        limit_ = framesPerSecond;
        for (auto& device : devices_) device->Timer.SetRate(framesPerSecond);
    }

private:
    TWaylandWindowSystem& system_;
    TWaylandWindow& window_;
    std::vector<std::unique_ptr<TWaylandGLDevice>> devices_;
    double limit_ = 0;
};

}  // namespace

std::unique_ptr<IDrawingWindow> CreateWaylandDrawingWindow(TWaylandWindowSystem& system, ISaverWindow& window) {
    auto* wayland = dynamic_cast<TWaylandWindow*>(&window);
    if (!wayland) return nullptr;
    return std::make_unique<TWaylandDrawingWindow>(system, *wayland);
}
