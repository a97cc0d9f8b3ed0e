#include "platform/x11/glx_preload.h"

#include <X11/Xlib.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace {

// The connection's GLX state goes with it and, with that, the driver's last reference: take one
// of our own on every loaded GL driver so the saver's context does not load it again.
int KeepDriverLoaded(dl_phdr_info* info, std::size_t, void*) {
    const char* name = info->dlpi_name;
    if (!name || !*name) return 0;
    const char* base = std::strrchr(name, '/');
    base = base ? base + 1 : name;
    if (std::strstr(base, "_dri.so") || std::strncmp(base, "libGLX_", 7) == 0)
        dlopen(name, RTLD_LAZY | RTLD_NOLOAD);  // never closed: the process keeps using it
    return 0;
}

}  // namespace

void PreloadGlxDriver(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display) return;
    int errorBase = 0, eventBase = 0;
    if (glXQueryExtension(display, &errorBase, &eventBase)) {
        // The first question about a screen's configurations makes the vendor library load its driver.
        int count = 0;
        if (GLXFBConfig* configs = glXGetFBConfigs(display, DefaultScreen(display), &count)) XFree(configs);
        dl_iterate_phdr(KeepDriverLoaded, nullptr);
    }
    XCloseDisplay(display);
}
