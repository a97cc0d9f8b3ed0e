#include "platform/x11/glx_preload.h"

#include "platform/posix/gl_driver_pin.h"

#include <X11/Xlib.h>
#include <GL/glx.h>

void PreloadGlxDriver(Display* display) {
    int errorBase = 0, eventBase = 0;
    if (!display || !glXQueryExtension(display, &errorBase, &eventBase)) return;
    // The first question about a connection's configurations sets up GLX on it for every screen,
    // and with that the vendor library loads its driver.
    int count = 0;
    if (GLXFBConfig* configs = glXGetFBConfigs(display, DefaultScreen(display), &count)) XFree(configs);
    KeepGlDriverLoaded();
}
