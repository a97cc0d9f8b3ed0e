// The drawing side of an X saver window: GLX devices on the window, with swap pacing.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

#include "platform/paced_device.h"
#include "platform/x11/glx_device.h"
#include "platform/x11/x11_platform.h"
#include "platform/x11/x11_window_system.h"

namespace {

bool swapErrorSeen = false;
int NoteSwapError(Display*, XErrorEvent*) {
    swapErrorSeen = true;
    return 0;
}

using SwapIntervalEXT = void (*)(Display*, GLXDrawable, int);
using SwapIntervalInt = int (*)(int);

template <typename F>
F Entry(const char* name) {
    return reinterpret_cast<F>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// Only an advertised extension is called: on a server without one (Xvfb) the call raises an X
// error, which by default ends the program. Errors are trapped all the same. True when the
// swaps need no timer: the driver paces them, or pacing is off.
bool RequestSwapInterval(Display* display, GLXDrawable drawable) {
    if (SwapPacingDisabled()) return true;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    XSync(display, False);
    swapErrorSeen = false;
    const auto previous = XSetErrorHandler(NoteSwapError);
    bool set = false;
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto entry = Entry<SwapIntervalEXT>("glXSwapIntervalEXT")) {
            entry(display, drawable, 1);
            set = true;
        }
    } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto entry = Entry<SwapIntervalInt>("glXSwapIntervalMESA")) set = entry(1) == 0;
    } else if (HasExtension(extensions, "GLX_SGI_swap_control")) {
        if (auto entry = Entry<SwapIntervalInt>("glXSwapIntervalSGI")) set = entry(1) == 0;
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return set && !swapErrorSeen;
}

// The refresh rate RandR reports for the screen; 60 where it reports none or nonsense.
double DisplayRefreshRate(Display* display) {
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return 60;
    XRRScreenConfiguration* config = XRRGetScreenInfo(display, DefaultRootWindow(display));
    if (!config) return 60;
    const short rate = XRRConfigCurrentRate(config);
    XRRFreeScreenConfigInfo(config);
    return rate >= 20 && rate <= 500 ? rate : 60;
}

class TX11DrawingWindow final : public IDrawingWindow {
public:
    TX11DrawingWindow(Display* display, ISaverWindow& window) : display_(display), window_(window) {}

    std::int32_t ClientWidth() const override { return window_.Width(); }
    std::int32_t ClientHeight() const override { return window_.Height(); }

    IGLDevice* AcquireDevice() override {
        Display* display = display_;
        const auto drawable = static_cast<unsigned long>(window_.NativeHandle());
        devices_.push_back(std::make_unique<TPacedDevice>(
            std::make_unique<GlxDevice>(display, drawable), [display, drawable] { return RequestSwapInterval(display, drawable); },
            DisplayRefreshRate(display)));
        devices_.back()->LimitRate(frameRateLimit_);
        return devices_.back().get();
    }
    void ReleaseDevice(IGLDevice* device) override {
        std::erase_if(devices_, [device](const auto& held) { return held.get() == device; });
    }
    void LimitFrameRate(double framesPerSecond) override {
        frameRateLimit_ = framesPerSecond;
        for (auto& device : devices_) device->LimitRate(framesPerSecond);
    }

private:
    Display* display_;
    ISaverWindow& window_;
    std::vector<std::unique_ptr<TPacedDevice>> devices_;
    double frameRateLimit_ = 0;
};

}  // namespace

std::unique_ptr<IDrawingWindow> CreateX11DrawingWindow(TX11WindowSystem& windows, ISaverWindow& window) {
    windows.FinishPreparingDrawing();
    return std::make_unique<TX11DrawingWindow>(windows.Connection(), window);
}
