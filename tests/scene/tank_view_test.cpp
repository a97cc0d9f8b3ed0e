// The off-axis frusta of one tank seen through several monitors.
#include <gtest/gtest.h>

#include "scene/tank_view.h"

namespace {

struct Pixel {
    double x, y;
};

// Where a camera-space point lands in window pixels (y down) through box drawn into part.
Pixel Project(const TGLClipBox& box, const TViewRect& part, double x, double y, double z) {
    const double xn = box.zNear * x / -z, yn = box.zNear * y / -z;
    const double ndcX = (2 * xn - (box.right + box.left)) / (box.right - box.left);
    const double ndcY = (2 * yn - (box.top + box.bottom)) / (box.top - box.bottom);
    return {part.Left + (ndcX + 1) / 2 * part.Width, part.Top + (1 - ndcY) / 2 * part.Height};
}

// The camera-space point at depth z that the whole view shows at window pixel (px, py).
void Unproject(const TGLClipBox& whole, const TViewRect& rect, double px, double py, double z, double& x, double& y) {
    const double u = (px - rect.Left) / rect.Width, v = (py - rect.Top) / rect.Height;
    x = (whole.left + u * (whole.right - whole.left)) * -z / whole.zNear;
    y = (whole.top - v * (whole.top - whole.bottom)) * -z / whole.zNear;
}

TEST(PartFrustum, APointOnASharedEdgeLandsOnTheEdgePixelOfBothMonitors) {
    // Side by side, different heights and a vertical offset; then one above the other.
    const TViewRect whole{0, 0, 3200, 1124};
    const TViewRect left{0, 0, 1920, 1080}, right{1920, 100, 1280, 1024};
    const TGLClipBox all = PartFrustum(75, 10, 9000, whole, whole);
    for (const double z : {-50.0, -3000.0}) {
        double x = 0, y = 0;
        Unproject(all, whole, 1920, 600, z, x, y);
        const Pixel a = Project(PartFrustum(75, 10, 9000, whole, left), left, x, y, z);
        const Pixel b = Project(PartFrustum(75, 10, 9000, whole, right), right, x, y, z);
        EXPECT_NEAR(a.x, 1920, 1e-6);
        EXPECT_NEAR(b.x, 1920, 1e-6);
        EXPECT_NEAR(a.y, 600, 1e-6);
        EXPECT_NEAR(b.y, 600, 1e-6);
    }
    const TViewRect tall{0, 0, 1600, 1800}, upper{0, 0, 1600, 900}, lower{200, 900, 1024, 768};
    double x = 0, y = 0;
    Unproject(PartFrustum(60, 1, 100, tall, tall), tall, 700, 900, -40, x, y);
    const Pixel a = Project(PartFrustum(60, 1, 100, tall, upper), upper, x, y, -40);
    const Pixel b = Project(PartFrustum(60, 1, 100, tall, lower), lower, x, y, -40);
    EXPECT_NEAR(a.y, 900, 1e-6);
    EXPECT_NEAR(b.y, 900, 1e-6);
    EXPECT_NEAR(a.x, 700, 1e-6);
    EXPECT_NEAR(b.x, 700, 1e-6);
}

}  // namespace
