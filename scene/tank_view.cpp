#include "scene/tank_view.h"

#include <algorithm>

#include "gl/vector_math.h"

TGLClipBox PartFrustum(double fovY, double zNear, double zFar, const TViewRect& whole, const TViewRect& part) {
    const double top = static_cast<double>(Tan(DegToRadL(fovY) / 2)) * zNear;
    const double right = top * whole.Width / std::max<std::int32_t>(whole.Height, 1);
    const double width = std::max<std::int32_t>(whole.Width, 1), height = std::max<std::int32_t>(whole.Height, 1);
    // Window pixels run left to right and top to bottom; the near plane right and up.
    auto x = [&](std::int32_t pixel) { return -right + 2 * right * (pixel - whole.Left) / width; };
    auto y = [&](std::int32_t pixel) { return top - 2 * top * (pixel - whole.Top) / height; };
    return {x(part.Left), x(part.Left + part.Width), y(part.Top + part.Height), y(part.Top), zNear, zFar};
}
