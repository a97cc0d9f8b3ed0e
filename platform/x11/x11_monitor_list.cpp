// The desktop's monitors on X11: RandR 1.5 monitors where the server has them (with the primary
// marked), else Xinerama's screens (the first is the primary), else nothing, which leaves the
// saver window over the whole X screen as before.
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "platform/services.h"

namespace {

class TX11MonitorList final : public IMonitorList {
public:
    explicit TX11MonitorList(Display* display) : display_(display) {}

    std::vector<TMonitor> Monitors() override {
        std::vector<TMonitor> monitors;
        if (!display_) return monitors;
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

private:
    Display* display_;
};

}  // namespace

std::unique_ptr<IMonitorList> CreateMonitorList(IWindowSystem& windows) {
    return std::make_unique<TX11MonitorList>(static_cast<Display*>(windows.NativeDisplay()));
}
