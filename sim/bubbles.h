#pragma once
// The rising air bubbles: each starts on the bottom at one spot of a 12 x 12 grid of depth and
// side levels, rises straight up at constant speed and starts again once it reaches the top of
// the view at its depth or the water surface, whichever is lower.
//
// The scene owns one TBubbles: created at assembly with TBubbles(windowSize) and its Ranges set;
// WarmUpBubbles(bubbles, BubbleCount) before the fish half of the warm-up; each frame Update(dt)
// and, after the simulation step, ApplyBubbleCount. Bubbles are drawn in index order.
#include <cstdint>

#include "sim/drawing_window_size.h"
#include "sim/particles.h"

// The scene's values, set once at assembly.
struct TBubbleRanges {
    float DepthMin = 1200.0f;
    float SpeedMax = 500.0f;
    float SpeedMin = 100.0f;
    float DepthMax = 7000.0f;
    float SurfaceY = 5000.0f;
    float BottomY = -3000.0f;
    float FieldOfView = 75.0f;
};

class TBubbles : public TParticles, public TBubbleRanges {
public:
    // window must outlive the container.
    explicit TBubbles(const TDrawingWindowSize& window) : Window(window) {}

    // Starts one bubble on the bottom; five generator draws: RandomInt(12), RandomFloat()
    // (depth level), RandomInt(12), RandomFloat() (side level), RandomFloat() (speed).
    void InitParticle(TParticle& bubble) override;

    // All of them at once, so that another tank's bubbles get every one.
    TBubbleRanges& Ranges() { return *this; }
    const TBubbleRanges& Ranges() const { return *this; }

private:
    const TDrawingWindowSize& Window;
};

// One of the twelve levels 0, 1/12, ..., 11/12, jittered by at most 0.01.
float BubbleLevel();

// Starts or drops bubbles when the container's count differs from bubbleCount.
void ApplyBubbleCount(TBubbles& bubbles, std::int32_t bubbleCount);
// The bubble half of the warm-up: apply the count, then 5001 steps of 0.25 s.
void WarmUpBubbles(TBubbles& bubbles, std::int32_t bubbleCount);
