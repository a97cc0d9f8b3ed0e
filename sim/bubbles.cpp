#include "sim/bubbles.h"

#include <cmath>

#include "gl/vector_math.h"
#include "sim/portable_math.h"
#include "sim/random.h"

float BubbleLevel() {
    // The integer is drawn before the float. RandomFloat is a 32-bit integer times 2^-32,
    // exact as a double.
    const std::int32_t k = RandomInt(12);
    const auto jitter = static_cast<double>(RandomFloat());
    return static_cast<float>(k / 12.0 + (0.5 - jitter) * 0.02);
}

void TBubbles::InitParticle(TParticle& bubble) {
    const float depthLevel = BubbleLevel();
    bubble.Position.z = static_cast<float>(-(DepthMin + depthLevel * (static_cast<double>(DepthMax) - DepthMin)));
    bubble.Position.y = BottomY;

    // Half-height and half-width of the visible area at the bubble's depth.
    const TViewShape view = ViewShapeOf(Window);
    const auto h = static_cast<float>(PortableTan(static_cast<double>(DegToRad(FieldOfView)) / 2.0) * -bubble.Position.z);
    const auto w = static_cast<float>(view.Width * h / view.Height);

    const float sideLevel = BubbleLevel();
    bubble.Position.x = static_cast<float>(sideLevel * 2.0 * w - w);

    const auto speedDraw = static_cast<double>(RandomFloat());
    bubble.Velocity = {0.0f, static_cast<float>(SpeedMin + speedDraw * (static_cast<double>(SpeedMax) - SpeedMin)), 0.0f};
    bubble.Rotation = {0.0f, 0.0f, 0.0f};
    bubble.Spin = {0.0f, 0.0f, 0.0f};
    bubble.Age = 0.0f;

    // Up to the top of the view at this depth, or to the surface when that is lower.
    const double rise = std::fabs(static_cast<double>(BottomY)) + (h < SurfaceY ? h : SurfaceY);
    bubble.LifeTime = static_cast<float>(std::fabs(rise / bubble.Velocity.y));
}

void ApplyBubbleCount(TBubbles& bubbles, std::int32_t bubbleCount) {
    if (bubbles.Count != bubbleCount) bubbles.SetCount(bubbleCount);
}

void WarmUpBubbles(TBubbles& bubbles, std::int32_t bubbleCount) {
    ApplyBubbleCount(bubbles, bubbleCount);
    for (int step = 0; step < kWarmUpSteps; ++step) bubbles.Update(kWarmUpStep);
}
