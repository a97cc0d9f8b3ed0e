#include <gtest/gtest.h>

#include <cmath>

#include "sim/bubbles.h"
#include "sim/random.h"

namespace {

const double kHalfFovTan = std::tan(37.5 * 3.14159265358979323846 / 180.0);

std::uint32_t Advanced(std::uint32_t seed, int draws) {
    for (int i = 0; i < draws; ++i) seed = seed * 134775813u + 1u;
    return seed;
}

TEST(Bubbles, LevelDrawsTheIntegerFirstAndStaysNearATwelfth) {
    RandomSeed = 7;
    // Seed 7 advances to 943430692 (integer 2) and then to 3603733685 (the jitter).
    const double expected = 2.0 / 12.0 + (0.5 - 3603733685.0 / 4294967296.0) * 0.02;
    EXPECT_FLOAT_EQ(BubbleLevel(), static_cast<float>(expected));
    for (int i = 0; i < 2000; ++i) {
        const double level = BubbleLevel();
        const double nearest = std::round(level * 12.0) / 12.0;
        EXPECT_LE(std::fabs(level - nearest), 0.01 + 1e-6);
        EXPECT_GE(nearest, 0.0);
        EXPECT_LE(nearest, 11.0 / 12.0);
    }
}

TEST(Bubbles, DeepBubbleRisesToTheSurfaceAndShallowOneToTheTopOfTheView) {
    TFixedWindowSize window(800, 600);
    TBubbles deep(window);
    deep.DepthMin = deep.DepthMax = 7000.0f;
    deep.SpeedMin = deep.SpeedMax = 100.0f;
    RandomSeed = 99;
    deep.SetCount(1);
    EXPECT_EQ(RandomSeed, Advanced(99, 5));  // five draws per start
    const TParticle& p = deep.Items[0];
    EXPECT_EQ(p.Position.z, -7000.0f);
    EXPECT_EQ(p.Position.y, -3000.0f);
    EXPECT_EQ(p.Velocity.y, 100.0f);
    EXPECT_FLOAT_EQ(p.LifeTime, 80.0f);  // h ~ 5371 is above the surface: 8000 units

    TBubbles shallow(window);
    shallow.DepthMin = shallow.DepthMax = 1200.0f;
    shallow.SetCount(1);
    const TParticle& q = shallow.Items[0];
    const double h = kHalfFovTan * 1200.0;
    EXPECT_NEAR(h, 920.8, 0.05);
    EXPECT_NEAR(q.LifeTime * q.Velocity.y, 3000.0 + h, 1e-2);
    EXPECT_GE(q.Velocity.y, 100.0f);
    EXPECT_LE(q.Velocity.y, 500.0f);
}

TEST(Bubbles, StreamsSitOnTheGridAndRiseStraight) {
    TFixedWindowSize window(1024, 768);
    TBubbles b(window);
    RandomSeed = 7;
    ApplyBubbleCount(b, 250);  // clamped by the container
    EXPECT_EQ(b.Count, 200);
    for (int i = 0; i < b.Count; ++i) {
        const TParticle& p = b.Items[i];
        const double depth = -p.Position.z;
        const double depthLevel = (depth - 1200.0) / 5800.0;
        EXPECT_NEAR(depthLevel, std::round(depthLevel * 12.0) / 12.0, 0.01 + 1e-5);
        const double w = kHalfFovTan * depth * 1024.0 / 768.0;
        const double sideLevel = (p.Position.x + w) / (2.0 * w);
        const double nearest = std::round(sideLevel * 12.0) / 12.0;
        EXPECT_NEAR(sideLevel, nearest, 0.01 + 1e-5);
        EXPECT_GE(nearest, 0.0);
        EXPECT_LE(nearest, 11.0 / 12.0);  // no stream in the rightmost twelfth
    }
    const TParticle before = b.Items[0];
    b.Update(before.LifeTime / 2);
    const TParticle& after = b.Items[0];
    EXPECT_EQ(after.Position.x, before.Position.x);
    EXPECT_EQ(after.Position.z, before.Position.z);
    EXPECT_FLOAT_EQ(after.Position.y, before.Position.y + before.Velocity.y * (before.LifeTime / 2));

    ApplyBubbleCount(b, 0);
    EXPECT_EQ(b.Count, 0);
}

TEST(Bubbles, WarmUpKeepsEveryBubbleBetweenBottomAndTopEvenWithoutWindowHeight) {
    TFixedWindowSize window(800, 600);
    TFixedWindowSize flat(800, 0);
    TBubbles b(window), f(flat);
    WarmUpBubbles(b, 200);
    WarmUpBubbles(f, 50);
    ASSERT_EQ(b.Count, 200);
    for (int i = 0; i < b.Count; ++i) {
        const TParticle& p = b.Items[i];
        const double top = std::fmin(kHalfFovTan * -p.Position.z, 5000.0);
        EXPECT_GE(p.Position.y, -3000.0f);
        EXPECT_LE(p.Position.y, top + 1.0);
        EXPECT_EQ(p.Velocity.x, 0.0f);
        EXPECT_EQ(p.Velocity.z, 0.0f);
    }
    for (int i = 0; i < f.Count; ++i) {
        EXPECT_TRUE(std::isfinite(f.Items[i].Position.x));
        EXPECT_TRUE(std::isfinite(f.Items[i].LifeTime));
    }
}

}  // namespace
