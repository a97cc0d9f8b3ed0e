// The desktop's monitors on X11: RandR 1.5 monitors where the server has them (with the primary
// marked), else Xinerama's screens (the first is the primary), else nothing, which leaves the
// saver window over the whole X screen as before.
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <string>

#include "platform/x11/x11_platform.h"

namespace {

class TX11MonitorList final : public IMonitorList {
public:
    explicit TX11MonitorList(std::string displayName) : displayName_(std::move(displayName)) {}

    // A connection of its own for the question: the extensions' per-display records go with it.
    std::vector<TMonitor> Monitors() override {
        Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
        if (!display) return {};
        auto monitors = Query(display);
        XCloseDisplay(display);
        return monitors;
    }

private:
    static std::vector<TMonitor> Query(Display* display_) {
        std::vector<TMonitor> monitors;
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        if (XRRQueryExtension(display_, &eventBase, &errorBase) && XRRQueryVersion(display_, &major, &minor) &&
            (major > 1 || (major == 1 && minor >= 5))) {
            int count = 0;
            if (XRRMonitorInfo* list = XRRGetMonitors(display_, DefaultRootWindow(display_), True, &count)) {
                for (int i = 0; i < count; ++i)
                    monitors.push_back({list[i].x, list[i].y, list[i].width, list[i].height, list[i].primary != 0});
                XRRFreeMonitors(list);
            }
            if (!monitors.empty()) return monitors;
        }
        if (XineramaQueryExtension(display_, &eventBase, &errorBase) && XineramaIsActive(display_)) {
            int count = 0;
            if (XineramaScreenInfo* list = XineramaQueryScreens(display_, &count)) {
                for (int i = 0; i < count; ++i)
                    monitors.push_back({list[i].x_org, list[i].y_org, list[i].width, list[i].height, i == 0});
                XFree(list);
            }
        }
        return monitors;
    }

    std::string displayName_;
};

}  // namespace

std::unique_ptr<IMonitorList> CreateX11MonitorList(_XDisplay* display) {
    return std::make_unique<TX11MonitorList>(display ? DisplayString(display) : "");
}
