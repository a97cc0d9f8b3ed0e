#pragma once
// Whether a frame is worth drawing: none while nobody can see the drawing window (minimised,
// hidden, unmapped, wholly covered) or the display sleeps. The loop then waits for the window
// system's events instead of drawing, and the aquarium's clocks stand still, so that the scene
// goes on where it stopped when it is seen again.
#include "app/message_loop.h"
#include "scene/aquarium.h"

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
