#include "form/monitor_list.h"

#include <algorithm>

TSaverLayout LayoutSaver(const std::vector<TMonitor>& monitors, int modeWidth, int modeHeight, bool switched) {
    TSaverLayout layout;
    layout.Saver = {0, 0, modeWidth, modeHeight, true};
    std::vector<TMonitor> usable;
    std::copy_if(monitors.begin(), monitors.end(), std::back_inserter(usable),
                 [](const TMonitor& m) { return m.Width > 0 && m.Height > 0; });
    if (usable.empty()) return layout;

    auto primary = std::find_if(usable.begin(), usable.end(), [](const TMonitor& m) { return m.Primary; });
    if (primary == usable.end())
        primary = std::find_if(usable.begin(), usable.end(), [](const TMonitor& m) { return m.Left == 0 && m.Top == 0; });
    if (primary == usable.end()) primary = usable.begin();

    layout.Saver = *primary;
    layout.Saver.Primary = true;
    // Windows switches the primary alone, and the monitor may still be listed at its old size; X
    // switches its one screen, which may span every monitor: the smaller of the two is the primary.
    if (switched) {
        layout.Saver.Width = std::min(layout.Saver.Width, modeWidth);
        layout.Saver.Height = std::min(layout.Saver.Height, modeHeight);
    }
    for (auto it = usable.begin(); it != usable.end(); ++it) {
        const TMonitor& monitor = *it;
        if (it == primary || layout.Saver.Contains(monitor)) continue;
        if (std::find(layout.Covers.begin(), layout.Covers.end(), monitor) != layout.Covers.end()) continue;
        layout.Covers.push_back(monitor);
        layout.Covers.back().Primary = false;
    }
    return layout;
}
