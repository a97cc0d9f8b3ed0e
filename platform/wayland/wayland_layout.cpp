#include "platform/wayland/wayland_layout.h"

#include <algorithm>

int DeviceScale(const std::vector<TOutputPlace>& outputs) {
    int scale = 1;
    for (const auto& output : outputs) scale = std::max(scale, output.Scale);
    return scale;
}

std::vector<TMonitor> OutputMonitors(const std::vector<TOutputPlace>& outputs) {
    const int scale = DeviceScale(outputs);
    std::vector<TMonitor> monitors;
    for (const auto& output : outputs)
        monitors.push_back({output.Left * scale, output.Top * scale, output.Width * scale, output.Height * scale,
                            monitors.empty()});
    return monitors;
}

std::vector<TWindowPiece> SplitWindow(const TMonitor& window, const std::vector<TOutputPlace>& outputs) {
    const auto monitors = OutputMonitors(outputs);
    std::vector<TWindowPiece> pieces;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const TMonitor& m = monitors[i];
        const int left = std::max(m.Left, window.Left), top = std::max(m.Top, window.Top);
        const int right = std::min(m.Left + m.Width, window.Left + window.Width);
        const int bottom = std::min(m.Top + m.Height, window.Top + window.Height);
        if (right <= left || bottom <= top) continue;
        pieces.push_back({outputs[i].Id, {left - window.Left, top - window.Top, right - left, bottom - top, false}});
    }
    return pieces;
}
