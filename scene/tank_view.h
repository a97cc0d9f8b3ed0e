#pragma once
// Where one tank is drawn inside the window: its part of the window and, for a tank seen through
// several monitors, the whole rectangle the tank spans. One camera looks at the whole; each part
// draws its share of that view through an off-axis frustum, so what crosses from one part into
// the next lines up, and a gap between parts is a gap in the view.
#include <cstdint>

#include "gl/viewport.h"

// A rectangle in window pixels, y down.
struct TViewRect {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TViewRect&) const = default;
};

struct TTankView {
    TViewRect Part;   // where this view draws
    TViewRect Whole;  // the tank's full extent; Part for a tank of its own
    std::int32_t Tank = 0;
    bool operator==(const TTankView&) const = default;
};

// The share of the symmetric frustum over whole (vertical field of view fovY in degrees) that
// part sees. Equals the whole frustum when part is whole.
TGLClipBox PartFrustum(double fovY, double zNear, double zFar, const TViewRect& whole, const TViewRect& part);
