#pragma once
// The live wallpaper's window on X11: a window of the desktop type below all others that lets
// every click through, or the root window itself where no window manager runs; and what tells
// that windows cover it where the server's visibility events cannot (a compositing window
// manager reports every window visible; the root window is never obscured by its children).
#include <X11/Xlib.h>

#include <set>
#include <vector>

#include "form/frame_gate.h"

// A window manager that follows the EWMH runs: _NET_SUPPORTING_WM_CHECK names a live window
// that names itself.
bool WindowManagerRuns(Display* display);

// An unmapped window of type _NET_WM_WINDOW_TYPE_DESKTOP at (left, top, width, height): below
// the others, on every workspace, in no taskbar or pager, never focused, with an empty input
// shape so that clicks reach the desktop under it.
Window CreateDesktopWindow(Display* display, int left, int top, int width, int height);

// Whether windows above the wallpaper cover it wholly. With a window manager: the full-screen
// clients of _NET_CLIENT_LIST_STACKING that are shown; without one: every mapped top-level
// window over the root.
class TX11Coverage {
public:
    // ours: the wallpaper's window (the root window where no window manager runs).
    TX11Coverage(Display* display, Window ours, bool rootWindow);
    ~TX11Coverage();
    TX11Coverage(const TX11Coverage&) = delete;
    TX11Coverage& operator=(const TX11Coverage&) = delete;

    // Looks at an event of any window; true when it may have changed the answer.
    bool Handle(const XEvent& event);
    bool Covered() const { return covered_; }

private:
    void Rescan();
    std::vector<TScreenRect> FullScreenClients();
    std::vector<TScreenRect> TopLevelWindows();
    TScreenRect Area();

    Display* display_;
    Window ours_;
    Window root_;
    bool rootWindow_;
    bool covered_ = false;
    Atom stacking_, state_, fullscreen_, hidden_;
    // Clients whose state and map changes are watched.
    std::set<Window> watched_;
};
