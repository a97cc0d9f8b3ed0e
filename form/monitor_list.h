#pragma once
// The desktop's monitors, so that the full-screen saver leaves none of them showing the desktop:
// the aquarium fills the primary one, every other one gets a black cover window.
#include <vector>

struct TMonitor {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Primary = false;

    bool operator==(const TMonitor&) const = default;
    bool Contains(const TMonitor& other) const {
        return other.Left >= Left && other.Top >= Top && other.Left + other.Width <= Left + Width &&
               other.Top + other.Height <= Top + Height;
    }
};

class IMonitorList {
public:
    virtual ~IMonitorList() = default;
    // Every monitor in desktop coordinates (origins may be negative); empty when unknown.
    virtual std::vector<TMonitor> Monitors() = 0;
};

struct TSaverLayout {
    TMonitor Saver;               // the aquarium's window
    std::vector<TMonitor> Covers; // one black window each
};

// The aquarium goes to the primary monitor (the one marked, else the one at the origin, else the
// first): at its origin, with its size, or the mode's where a switch made that smaller. Without
// monitors: (0, 0) and the mode's size. Every monitor the aquarium does not wholly overlap (a
// mirror of the primary does) gets a cover.
TSaverLayout LayoutSaver(const std::vector<TMonitor>& monitors, int modeWidth, int modeHeight, bool switched);
