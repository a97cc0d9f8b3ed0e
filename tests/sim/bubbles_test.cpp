#include <gtest/gtest.h>

#include <cmath>
#include <span>

#include "sim/bubbles.h"
#include "sim/random.h"

namespace {

const double kHalfFovTan = std::tan(37.5 * 3.14159265358979323846 / 180.0);

// Distance of a level from the nearest of 0, 1/12, ..., 11/12.
double OffGrid(double level) {
    const double nearest = std::fmin(std::fmax(std::round(level * 12.0), 0.0), 11.0) / 12.0;
    return std::fabs(level - nearest);
}

TEST(Bubbles, LevelDrawsTheIntegerFirst) {
    RandomSeed = 7;  // advances to 943430692 (integer 2), then to 3603733685 (the jitter)
    EXPECT_FLOAT_EQ(BubbleLevel(), static_cast<float>(2.0 / 12.0 + (0.5 - 3603733685.0 / 4294967296.0) * 0.02));
}

TEST(Bubbles, DeepBubbleRisesToTheSurfaceAndShallowOneToTheTopOfTheView) {
    TFixedWindowSize window(800, 600);
    TBubbles deep(window), shallow(window);
    deep.DepthMin = deep.DepthMax = 7000.0f;
    deep.SpeedMin = deep.SpeedMax = 100.0f;
    shallow.DepthMin = shallow.DepthMax = 1200.0f;
    std::uint32_t fiveDrawsLater = 99;
    for (int i = 0; i < 5; ++i) fiveDrawsLater = fiveDrawsLater * 134775813u + 1u;
    RandomSeed = 99;
    deep.SetCount(1);
    EXPECT_EQ(RandomSeed, fiveDrawsLater);
    const TParticle& p = deep.Items[0];
    EXPECT_EQ(p.Position.z, -7000.0f);
    EXPECT_EQ(p.Position.y, -3000.0f);
    EXPECT_FLOAT_EQ(p.LifeTime, 80.0f);  // h ~ 5371 is above the surface: 8000 units at 100/s
    shallow.SetCount(1);
    const TParticle& q = shallow.Items[0];
    EXPECT_NEAR(q.LifeTime * q.Velocity.y, 3920.8, 0.05);  // up to the top of the view, h ~ 920.8
}

TEST(Bubbles, StreamsSitOnTheGridAndRiseStraightUntilTheTop) {
    TFixedWindowSize window(1024, 768);
    TBubbles b(window);
    RandomSeed = 7;
    ApplyBubbleCount(b, 250);  // clamped by the container
    EXPECT_EQ(b.Count, 200);
    for (const TParticle& p : b.Items) {
        const double depth = -p.Position.z;
        const double w = kHalfFovTan * depth * 1024.0 / 768.0;
        EXPECT_LE(OffGrid((depth - 1200.0) / 5800.0), 0.01 + 1e-5);
        EXPECT_LE(OffGrid((p.Position.x + w) / (2.0 * w)), 0.01 + 1e-5);  // none in the rightmost twelfth
        EXPECT_GE(p.Velocity.y, 100.0f);
        EXPECT_LE(p.Velocity.y, 500.0f);
    }
    const TParticle before = b.Items[0];
    b.Update(before.LifeTime / 2);
    EXPECT_EQ(b.Items[0].Position.x, before.Position.x);
    EXPECT_EQ(b.Items[0].Position.z, before.Position.z);
    EXPECT_FLOAT_EQ(b.Items[0].Position.y, before.Position.y + before.Velocity.y * (before.LifeTime / 2));

    WarmUpBubbles(b, 120);
    EXPECT_EQ(b.Count, 120);
    for (const TParticle& p : std::span(b.Items).first(120)) {
        EXPECT_GE(p.Position.y, -3000.0f);
        EXPECT_LE(p.Position.y, std::fmin(kHalfFovTan * -p.Position.z, 5000.0) + 1.0);
    }
    ApplyBubbleCount(b, 0);
    EXPECT_EQ(b.Count, 0);
}

TEST(Bubbles, AWindowWithoutHeightPoisonsNothing) {
    TFixedWindowSize flat(800, 0);
    TBubbles b(flat);
    WarmUpBubbles(b, 50);
    for (const TParticle& p : std::span(b.Items).first(50))
        EXPECT_TRUE(std::isfinite(p.Position.x + p.Position.y + p.LifeTime));
}

}  // namespace
