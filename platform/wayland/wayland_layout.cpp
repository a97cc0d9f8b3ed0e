#include "platform/wayland/wayland_layout.h"

#include <algorithm>

TOutputPlace OutputPlace(std::uint32_t id, int x, int y, int modeWidth, int modeHeight, int scale, int logicalX,
                         int logicalY, int logicalWidth, int logicalHeight) {
    scale = std::max(scale, 1);
    if (logicalWidth > 0 && logicalHeight > 0) return {id, logicalX, logicalY, logicalWidth, logicalHeight, scale};
    return {id, x, y, modeWidth / scale, modeHeight / scale, scale};
}

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

bool TOutputModeDriver::EnumSettings(std::uint32_t index, TModeRecord& record) {
    const TVideoMode mode = ScreenMode();
    if (index != 0 || mode.Width == 0) return false;
    record.Fields = kModeFields;
    record.BitsPerPel = mode.ColorDepth;
    record.PelsWidth = mode.Width;
    record.PelsHeight = mode.Height;
    return true;
}

std::int32_t TOutputModeDriver::ChangeSettings(const TModeRecord* record, std::uint32_t) {
    if (!record) return kDispChangeSuccessful;
    const TVideoMode mode = ScreenMode();
    return record->PelsWidth == mode.Width && record->PelsHeight == mode.Height && record->BitsPerPel == mode.ColorDepth
               ? kDispChangeSuccessful
               : kDispChangeBadMode;
}

TVideoMode TOutputModeDriver::ScreenMode() {
    const auto monitors = OutputMonitors(outputs_());
    if (monitors.empty()) return {};
    int right = 0, bottom = 0;
    for (const auto& m : monitors) {
        right = std::max(right, m.Left + m.Width);
        bottom = std::max(bottom, m.Top + m.Height);
    }
    return {right, bottom, 32};
}
