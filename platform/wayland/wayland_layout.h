#pragma once
// Where a Wayland saver window's pieces go. Outputs are placed in the compositor's logical
// coordinates; the program sees the desktop in device pixels (logical times the largest output
// scale), so that a window and its views are in buffer pixels and a 2x output is drawn sharp.
// A window spanning several outputs is one surface per output it meets.
#include <cstdint>
#include <vector>

#include "form/monitor_list.h"

struct TOutputPlace {
    std::uint32_t Id = 0;  // the output's registry name
    int Left = 0, Top = 0, Width = 0, Height = 0;  // logical
    int Scale = 1;
};

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
