#include "form/frame_gate.h"

bool TFrameGate::Open(ISaverWindow& window) {
    // The display is asked last: where it is polled, a hidden window needs no answer.
    const bool seen = window.Visible() && !window.Unseen() && !windows_.DisplayAsleep();
    if (seen == paused_) {
        paused_ = !seen;
        if (paused_)
            aquarium_.PauseDrawing();
        else
            aquarium_.ResumeDrawing();
    }
    return seen;
}
