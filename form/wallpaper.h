#pragma once
// Where the live wallpaper's tanks go: the saver's arrangement of the monitors, in the window
// that shows it.
#include <vector>

#include "form/monitor_arrangement.h"

// The arrangement's views in its own window (placed), or in the root window, which covers the
// whole desktop from (0, 0): there the arrangement's window becomes a view of its own, so that
// "primary only" draws on the primary alone.
std::vector<TTankView> WallpaperViews(const TMonitorArrangement& arrangement, bool placed);
