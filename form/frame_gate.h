#pragma once
// Whether a frame is worth drawing: none while nobody can see the drawing window (minimised,
// hidden, unmapped, wholly covered) or the display sleeps. The loop then waits for the window
// system's events instead of drawing, and the aquarium's clocks stand still, so that the scene
// goes on where it stopped when it is seen again.
#include <vector>

#include "app/message_loop.h"
#include "scene/aquarium.h"

// A rectangle of the screen by its edges: Right and Bottom lie just outside it.
struct TScreenRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Empty() const { return Right <= Left || Bottom <= Top; }
};

// Whether no pixel of area is left outside every one of covers: where the window system cannot
// tell it, a window wholly under others is unseen. An empty area is covered.
bool WhollyCovered(const TScreenRect& area, const std::vector<TScreenRect>& covers);

class TFrameGate {
public:
    TFrameGate(IWindowSystem& windows, IAquarium& aquarium) : windows_(windows), aquarium_(aquarium) {}

    // True when a frame drawn into window now would be seen. The change from one answer to the
    // other pauses or resumes the aquarium's drawing.
    bool Open(ISaverWindow& window);
    // A new drawing start, whose reset runs the aquarium's clocks again.
    void Reset() { paused_ = false; }
    bool Paused() const { return paused_; }

private:
    IWindowSystem& windows_;
    IAquarium& aquarium_;
    bool paused_ = false;
};
