#include "form/monitor_arrangement.h"

#include <algorithm>

namespace {

bool Overlap(const TMonitor& a, const TMonitor& b) {
    return a.Left < b.Left + b.Width && b.Left < a.Left + a.Width && a.Top < b.Top + b.Height && b.Top < a.Top + a.Height;
}

}  // namespace

TMonitorArrangement ArrangeMonitors(const std::vector<TMonitor>& monitors, int modeWidth, int modeHeight, bool switched,
                                    TMonitorChoice choice) {
    TMonitorArrangement arrangement{LayoutSaver(monitors, modeWidth, modeHeight, switched), {}};
    TSaverLayout& layout = arrangement.Layout;
    if (choice == mcPrimaryOnly || layout.Covers.empty()) return arrangement;

    std::vector<TMonitor> drawn{layout.Saver}, covers;
    for (const TMonitor& monitor : layout.Covers) {
        const bool inside = std::any_of(drawn.begin(), drawn.end(), [&](const TMonitor& m) { return m.Contains(monitor); });
        if (inside) continue;
        const bool overlaps = std::any_of(drawn.begin(), drawn.end(), [&](const TMonitor& m) { return Overlap(m, monitor); });
        (overlaps ? covers : drawn).push_back(monitor);
    }
    layout.Covers = covers;
    if (drawn.size() < 2) return arrangement;

    int left = drawn[0].Left, top = drawn[0].Top, right = left + drawn[0].Width, bottom = top + drawn[0].Height;
    for (const TMonitor& m : drawn) {
        left = std::min(left, m.Left);
        top = std::min(top, m.Top);
        right = std::max(right, m.Left + m.Width);
        bottom = std::max(bottom, m.Top + m.Height);
    }
    layout.Saver = {left, top, right - left, bottom - top, true};
    const TViewRect everything{0, 0, right - left, bottom - top};
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const TMonitor& m = drawn[i];
        const TViewRect part{m.Left - left, m.Top - top, m.Width, m.Height};
        if (choice == mcAcrossAll)
            arrangement.Views.push_back({part, everything, 0});
        else
            arrangement.Views.push_back({part, part, static_cast<std::int32_t>(i)});
    }
    return arrangement;
}
