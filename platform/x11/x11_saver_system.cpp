#include "platform/x11/x11_saver_system.h"

#include <X11/Xlib.h>

namespace {
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

TX11SaverSystem::TX11SaverSystem(const std::string& displayName) {
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
}

TX11SaverSystem::~TX11SaverSystem() {
    if (display_) XCloseDisplay(display_);
}

TWindowHandle TX11SaverSystem::ForegroundWindow() {
    if (!display_) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus > 1 ? static_cast<TWindowHandle>(focus) : 0;  // PointerRoot and None are no window
}

bool TX11SaverSystem::WindowSize(TWindowHandle window, int& width, int& height) {
    if (!display_ || window <= 0) return false;
    // A window id from the command line may name nothing: that is an answer, not a fatal error.
    XSync(display_, False);
    const auto previous = XSetErrorHandler(IgnoreXError);
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(display_, static_cast<Window>(window), &attributes);
    XSync(display_, False);
    XSetErrorHandler(previous);
    if (!ok) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}
