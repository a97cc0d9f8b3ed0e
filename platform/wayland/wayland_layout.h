#pragma once
// Where a Wayland saver window's pieces go. Outputs are placed in the compositor's logical
// coordinates; the program sees the desktop in device pixels (logical times the largest output
// scale), so that a window and its views are in buffer pixels and a 2x output is drawn sharp.
// A window spanning several outputs is one surface per output it meets.
#include <cstdint>
#include <functional>
#include <vector>

#include "display/video_modes.h"
#include "form/monitor_list.h"

struct TOutputPlace {
    std::uint32_t Id = 0;  // the output's registry name
    int Left = 0, Top = 0, Width = 0, Height = 0;  // logical
    int Scale = 1;
};

// Where an output is, from what the compositor told: xdg-output's logical place when it gave
// one (logicalWidth > 0), else wl_output's position and its current mode divided by its scale.
TOutputPlace OutputPlace(std::uint32_t id, int x, int y, int modeWidth, int modeHeight, int scale, int logicalX,
                         int logicalY, int logicalWidth, int logicalHeight);

// The largest output scale, at least 1.
int DeviceScale(const std::vector<TOutputPlace>& outputs);
// The outputs as monitors in device pixels; the first one is the primary.
std::vector<TMonitor> OutputMonitors(const std::vector<TOutputPlace>& outputs);

// One output's part of a window.
struct TWindowPiece {
    std::uint32_t Output = 0;
    TMonitor InWindow;  // device pixels, relative to the window's origin
};

// The parts of the window (device pixels of the desktop) on each output it meets, in the
// outputs' order.
std::vector<TWindowPiece> SplitWindow(const TMonitor& window, const std::vector<TOutputPlace>& outputs);

// Display modes on Wayland: the compositor owns the outputs' modes, so the desktop's size (the
// outputs' extent in device pixels, 32 bits) is the only mode and a switch to any other is
// refused, as a driver that cannot switch refuses it.
class TOutputModeDriver final : public IDisplayModeDriver {
public:
    explicit TOutputModeDriver(std::function<std::vector<TOutputPlace>()> outputs) : outputs_(std::move(outputs)) {}
    bool EnumSettings(std::uint32_t index, TModeRecord& record) override;
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t flags) override;
    TVideoMode ScreenMode() override;

private:
    std::function<std::vector<TOutputPlace>()> outputs_;
};
