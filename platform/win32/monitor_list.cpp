// The desktop's monitors on Windows: EnumDisplayMonitors in virtual-screen coordinates (monitors
// left of or above the primary have negative origins). The process is DPI aware, so these are
// pixels, the same units as the saver's windows.
#include <windows.h>

#include "platform/services.h"
#include "platform/win32/win32_display.h"

namespace {

class TWin32MonitorList final : public IMonitorList {
public:
    std::vector<TMonitor> Monitors() override {
        std::vector<TMonitor> monitors;
        EnumDisplayMonitors(nullptr, nullptr, &Add, reinterpret_cast<LPARAM>(&monitors));
        return monitors;
    }

private:
    static BOOL CALLBACK Add(HMONITOR handle, HDC, LPRECT, LPARAM data) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(handle, &info)) return TRUE;
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<TMonitor>*>(data)->push_back(
            {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
             static_cast<int>(r.bottom - r.top), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
        return TRUE;
    }
};

}  // namespace

std::unique_ptr<IMonitorList> CreateMonitorList(IWindowSystem&) { return std::make_unique<TWin32MonitorList>(); }
