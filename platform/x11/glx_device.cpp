#include "platform/x11/glx_device.h"

#include "platform/posix/gl_driver_pin.h"
#include "platform/x11/shared_image_prefault.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <GL/glx.h>

#include <bit>
#include <thread>

namespace {

// The minimum per-channel depth for a total colour request, as drivers read cColorBits.
int PerChannel(int colorBits) { return colorBits >= 24 ? 8 : colorBits >= 15 ? 5 : 1; }

std::vector<int> ConfigAttributes(const TPixelFormatDescriptor& request) {
    const int channel = PerChannel(request.cColorBits);
    const int accum = request.cAccumBits / 4;
    return {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
            GLX_DOUBLEBUFFER, (request.dwFlags & kPfdDoubleBuffer) ? True : False,
            GLX_RED_SIZE, channel, GLX_GREEN_SIZE, channel, GLX_BLUE_SIZE, channel,
            GLX_ALPHA_SIZE, request.cAlphaBits, GLX_DEPTH_SIZE, request.cDepthBits,
            GLX_STENCIL_SIZE, request.cStencilBits,
            GLX_ACCUM_RED_SIZE, accum, GLX_ACCUM_GREEN_SIZE, accum, GLX_ACCUM_BLUE_SIZE, accum,
            GLX_ACCUM_ALPHA_SIZE, accum, None};
}

int Attribute(Display* display, GLXFBConfig config, int name) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, name, &value);
    return value;
}

// Xlib's default handler ends the process on any error; a bad window id must only fail.
int lastXError = 0;
int RecordXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

bool QueryWindow(Display* display, Window window, XWindowAttributes& attributes) {
    XSync(display, False);
    lastXError = 0;
    auto previous = XSetErrorHandler(RecordXError);
    const Status status = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    return status != 0 && lastXError == 0;
}

std::uint8_t Shift(unsigned long mask) { return mask ? static_cast<std::uint8_t>(std::countr_zero(mask)) : 0; }

class GlxContext final : public IGLRenderContext {
public:
    GlxContext(Display* display, GLXContext context) : display_(display), context_(context) {}
    ~GlxContext() override {
        if (prefault_.joinable()) prefault_.join();
        if (glXGetCurrentContext() == context_) glXMakeContextCurrent(display_, None, None, nullptr);
        glXDestroyContext(display_, context_);
    }
    bool MakeCurrent(IGLDevice& device) override {
        auto* glx = dynamic_cast<GlxDevice*>(&device);
        if (!glx) return false;
        if (glXMakeContextCurrent(display_, glx->XWindow(), glx->XWindow(), context_) != True) return false;
        // The software driver's image for the window exists now; the first frame is drawn next.
        if (!prefault_.joinable()) prefault_ = std::thread(PopulateSharedImages);
        return true;
    }
    bool ReleaseCurrent() override { return glXMakeContextCurrent(display_, None, None, nullptr) == True; }
    std::string LastErrorText() override { return "GLX: the context could not be made current"; }

private:
    Display* display_;
    GLXContext context_;
    std::thread prefault_;
};

}  // namespace

GlxDevice::GlxDevice(Display* display, unsigned long window) : display_(display), window_(window) {}

GlxDevice::~GlxDevice() { DestroySpareContext(); }

void GlxDevice::DestroySpareContext() {
    if (spareContext_) glXDestroyContext(display_, static_cast<GLXContext>(spareContext_));
    spareContext_ = nullptr;
    spareFormat_ = 0;
}

unsigned long GlxDevice::ChooseVisualId(Display* display, int screen, const TPixelFormatDescriptor& request) {
    const std::vector<int> attributes = ConfigAttributes(request);
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes.data(), &count);
    unsigned long id = 0;
    for (int i = 0; i < count && id == 0; ++i) id = static_cast<unsigned long>(Attribute(display, configs[i], GLX_VISUAL_ID));
    if (configs) XFree(configs);
    return id;
}

std::uint32_t GlxDevice::ObjectType() { return kObjDC; }

int GlxDevice::ChoosePixelFormat(const TPixelFormatDescriptor& request) {
    DestroySpareContext();  // the format numbers are about to change
    XWindowAttributes window{};
    if (!QueryWindow(display_, window_, window)) return 0;
    const VisualID visual = XVisualIDFromVisual(window.visual);
    const int screen = XScreenNumberOfScreen(window.screen);
    // A window keeps the visual it was created with: only its configurations can draw into it.
    // When none of them meets the whole request, take the best of them that keeps the
    // buffering; the engine then reports the bits it really got.
    TPixelFormatDescriptor relaxed{};
    relaxed.dwFlags = request.dwFlags;
    const TPixelFormatDescriptor* attempts[] = {&request, &relaxed};
    for (const TPixelFormatDescriptor* attempt : attempts) {
        const std::vector<int> attributes = ConfigAttributes(*attempt);
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display_, screen, attributes.data(), &count);
        KeepGlDriverLoaded();  // the query has loaded the driver
        configs_.clear();
        for (int i = 0; i < count; ++i) {
            if (static_cast<VisualID>(Attribute(display_, configs[i], GLX_VISUAL_ID)) == visual)
                configs_.push_back(configs[i]);
        }
        if (configs) XFree(configs);
        if (!configs_.empty()) return 1;
    }
    return 0;
}

bool GlxDevice::SetPixelFormat(int format, const TPixelFormatDescriptor&) {
    if (format < 1 || format > static_cast<int>(configs_.size())) return false;
    format_ = format;
    return true;
}

bool GlxDevice::DescribePixelFormat(int format, TPixelFormatDescriptor& d) {
    if (format < 1 || format > static_cast<int>(configs_.size())) return false;
    auto config = static_cast<GLXFBConfig>(configs_[format - 1]);
    d = TPixelFormatDescriptor{};
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = kPfdSupportOpenGL | kPfdDrawToWindow;
    if (Attribute(display_, config, GLX_DOUBLEBUFFER)) d.dwFlags |= kPfdDoubleBuffer;
    d.iPixelType = kPfdTypeRgba;
    d.cColorBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_BUFFER_SIZE));
    d.cRedBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_RED_SIZE));
    d.cGreenBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_GREEN_SIZE));
    d.cBlueBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_BLUE_SIZE));
    d.cAlphaBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_ALPHA_SIZE));
    if (XVisualInfo* visual = glXGetVisualFromFBConfig(display_, config)) {
        d.cRedShift = Shift(visual->red_mask);
        d.cGreenShift = Shift(visual->green_mask);
        d.cBlueShift = Shift(visual->blue_mask);
        XFree(visual);
    }
    d.cAccumRedBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_ACCUM_RED_SIZE));
    d.cAccumGreenBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_ACCUM_GREEN_SIZE));
    d.cAccumBlueBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_ACCUM_BLUE_SIZE));
    d.cAccumAlphaBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_ACCUM_ALPHA_SIZE));
    d.cAccumBits = static_cast<std::uint8_t>(d.cAccumRedBits + d.cAccumGreenBits + d.cAccumBlueBits + d.cAccumAlphaBits);
    d.cDepthBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_DEPTH_SIZE));
    d.cStencilBits = static_cast<std::uint8_t>(Attribute(display_, config, GLX_STENCIL_SIZE));
    // "No hardware acceleration" on Linux means a software rasteriser: ask a context of the format.
    if (spareFormat_ != format) {
        DestroySpareContext();
        GLXContext probe = glXCreateNewContext(display_, config, GLX_RGBA_TYPE, nullptr, True);
        if (probe) {
            GLXContext previous = glXGetCurrentContext();
            GLXDrawable draw = glXGetCurrentDrawable(), read = glXGetCurrentReadDrawable();
            spareIsSoftware_ = glXMakeContextCurrent(display_, window_, window_, probe) && CurrentRendererIsSoftware();
            if (previous)
                glXMakeContextCurrent(display_, draw, read, previous);
            else
                glXMakeContextCurrent(display_, None, None, nullptr);
            spareContext_ = probe;
            spareFormat_ = format;
        }
    }
    if (spareFormat_ == format && spareIsSoftware_) d.dwFlags |= kPfdGenericFormat;
    return true;
}

std::unique_ptr<IGLPalette> GlxDevice::CreatePalette(const std::vector<TPaletteEntry>&) { return nullptr; }

void GlxDevice::SelectPalette(IGLPalette&) {}

std::unique_ptr<IGLRenderContext> GlxDevice::CreateContext() {
    if (format_ == 0) return nullptr;
    if (spareContext_ && spareFormat_ == format_) {
        auto spare = static_cast<GLXContext>(spareContext_);
        spareContext_ = nullptr;
        spareFormat_ = 0;
        return std::make_unique<GlxContext>(display_, spare);
    }
    GLXContext context =
        glXCreateNewContext(display_, static_cast<GLXFBConfig>(configs_[format_ - 1]), GLX_RGBA_TYPE, nullptr, True);
    if (!context) return nullptr;
    return std::make_unique<GlxContext>(display_, context);
}

bool GlxDevice::SwapBuffers() {
    glXSwapBuffers(display_, window_);
    return true;
}
