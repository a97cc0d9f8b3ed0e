#pragma once
// How the full-screen saver uses the desktop's monitors: an aquarium of its own on each, one
// aquarium seen through all of them, or the primary alone with the others black. Whenever more
// than one monitor draws, one window spans them all and each monitor is a view inside it.
#include <cstdint>
#include <vector>

#include "form/monitor_list.h"
#include "scene/tank_view.h"

enum TMonitorChoice : std::int32_t { mcEachOwn = 0, mcAcrossAll = 1, mcPrimaryOnly = 2 };
inline constexpr std::int32_t kMonitorChoiceCount = 3;

struct TMonitorArrangement {
    TSaverLayout Layout;           // the aquarium's window (Saver) and the black covers
    std::vector<TTankView> Views;  // in the window; empty: one tank fills it, as on one monitor
};

// The primary is chosen, and shrunk by a mode switch, as LayoutSaver does. With more than one
// monitor to draw on, the window is the rectangle around them; a monitor inside another (a
// mirror) shows what that one shows, and one that only overlaps another keeps its black cover.
TMonitorArrangement ArrangeMonitors(const std::vector<TMonitor>& monitors, int modeWidth, int modeHeight, bool switched,
                                    TMonitorChoice choice);
