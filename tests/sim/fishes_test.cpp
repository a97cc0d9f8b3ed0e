#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "app/exception.h"
#include "sim/fishes.h"
#include "sim/random.h"

namespace {

const double kHalfFovTan = std::tan(37.5 * 3.14159265358979323846 / 180.0);

// The table entries are process-wide: each test that forces them puts the real ones back.
class FishesTest : public ::testing::Test {
protected:
    void SetUp() override { saved = RandomTable; }
    void TearDown() override {
        RandomTable = saved;
        TableCursor = 0;
    }
    static void ForceTable(float value) {
        RandomTable.fill(value);
        TableCursor = 0;
    }
    static void SetBand(TFishes& f, float depthMin, float depthMax, float height) {
        f.DepthMin = depthMin;
        f.DepthMax = depthMax;
        f.HeightMin = f.HeightMax = height;
        f.SpeedMin = f.SpeedMax = 200.0f;
    }
    // Depth of a fish before its lead-in of 1000 units along the heading.
    static double DepthBeforeLead(const TParticle& p) {
        const double speed = std::hypot(p.Velocity.x, p.Velocity.z);
        return -(p.Position.z + TFishes::LeadDistance * p.Velocity.z / speed);
    }
    std::array<float, kRandomTableSize> saved{};
    TFixedWindowSize window{800, 600};
};

TEST_F(FishesTest, FishCountIsSpreadOverTheSpeciesOnlyWhenItChanges) {
    TFishes a(window), b(window), c(window);
    TFishes* three[] = {&a, &b, &c};
    struct Split {
        int total, first, others;
    };
    std::int32_t applied = kNothingApplied;
    for (Split s : {Split{20, 8, 6}, {100, 34, 33}, {1, 1, 0}, {2, 2, 0}, {5, 3, 1}, {0, 0, 0}}) {
        ApplyFishCount(three, s.total, applied);
        EXPECT_EQ(applied, s.total);
        EXPECT_EQ(a.Count, s.first) << s.total;
        EXPECT_EQ(b.Count, s.others) << s.total;
        EXPECT_EQ(c.Count, s.others) << s.total;
    }
    // The applied count is compared, not the history: a count changed and changed back between
    // two applications distributes nothing.
    a.SetCount(7);
    ApplyFishCount(three, 0, applied);
    EXPECT_EQ(a.Count, 7);

    TFishes* one[] = {&a};
    std::int32_t appliedOne = kNothingApplied;
    ApplyFishCount(one, 0, appliedOne);  // the marker makes the first call distribute
    EXPECT_EQ(a.Count, 0);
    ApplyFishCount(one, 150, appliedOne);
    EXPECT_EQ(a.Count, 150);
    ApplyFishCount({}, 5, appliedOne);
    EXPECT_EQ(appliedOne, 150);

    TFishes* broken[] = {&a, nullptr};
    EXPECT_THROW(ApplyFishCount(broken, 4, appliedOne), Exception);
}

TEST_F(FishesTest, HighFishIsLoweredIntoTheViewAndLevelPathSwimsStraight) {
    TFishes f(window);
    SetBand(f, 300.0f, 300.0f, 2400.0f);
    ForceTable(0.5f);
    f.SetCount(1);
    const TParticle& p = f.Items[0];
    const double h = kHalfFovTan * 300.0;  // about 230.2
    EXPECT_NEAR(p.Position.y, 230.2, 0.05);
    EXPECT_NEAR(p.Position.y, h, 1e-3);
    // Equal depths at both ends: heading 0, straight along +x.
    EXPECT_EQ(p.Position.z, -300.0f);
    EXPECT_EQ(p.Velocity.x, 200.0f);
    EXPECT_EQ(p.Velocity.z, 0.0f);
    EXPECT_EQ(p.Rotation.y, 0.0f);
    const double edge = 1.0 + h * 800.0 / 600.0;  // one unit beyond the edge of the view
    EXPECT_NEAR(p.Position.x, -edge - 1000.0, 1e-3);
    EXPECT_NEAR(p.LifeTime, (2.0 * edge + 2000.0) / 200.0, 1e-4);
    EXPECT_EQ(p.Age, 0.0f);
}

TEST_F(FishesTest, DepthBandWidensWithTheFishAlreadyInTheSpecies) {
    TFishes f(window);
    f.DepthMin = 500.0f;
    f.DepthMax = 10000.0f;
    f.SpeciesShare = 100.0f / 3.0f;
    ForceTable(1.0f);  // every fish starts at the far end of its band
    f.SetCount(33);
    for (int i = 0; i < 33; ++i)  // all started while the container was empty: a third of the way
        EXPECT_NEAR(DepthBeforeLead(f.Items[i]), 500.0 + 9500.0 / 3.0, 0.05);
    f.SetCount(34);  // started with 33 fish present: (50/3 + 33) / 50 of the way
    EXPECT_NEAR(DepthBeforeLead(f.Items[33]), 500.0 + 9500.0 * (50.0 / 3.0 + 33.0) / 50.0, 0.05);
    // Headed half-way towards the middle of the band, so the far fish drift nearer.
    EXPECT_GT(f.Items[33].Velocity.z, 0.0f);
    EXPECT_LT(f.Items[33].Rotation.y, 0.0f);
}

TEST_F(FishesTest, StartsBeyondTheLeftEdgeAndEndsBeyondTheRightEdge) {
    TFishes f(window);
    f.SpeciesShare = 100.0f / 3.0f;
    f.SetCount(60);
    for (int i = 0; i < 60; ++i) {
        const TParticle& p = f.Items[i];
        const double speed = std::hypot(p.Velocity.x, p.Velocity.z);
        const double cosA = p.Velocity.x / speed, sinA = p.Velocity.z / speed;
        EXPECT_NEAR(p.Rotation.y, -std::atan2(sinA, cosA) * 180.0 / 3.14159265358979323846, 1e-3);
        // Before the lead-in the fish stood one unit left of the view at its depth...
        const double x0 = p.Position.x + 1000.0 * cosA, z0 = p.Position.z + 1000.0 * sinA;
        EXPECT_NEAR(x0, -1.0 - kHalfFovTan * -z0 * 800.0 / 600.0, 0.01);
        EXPECT_LE(std::fabs(p.Position.y), kHalfFovTan * -z0 + 1e-3);
        // ...and when its life ends it is 1000 units past one unit right of the view.
        const double x1 = p.Position.x + p.Velocity.x * p.LifeTime - 1000.0 * cosA;
        const double z1 = p.Position.z + p.Velocity.z * p.LifeTime - 1000.0 * sinA;
        EXPECT_NEAR(x1, 1.0 + kHalfFovTan * -z1 * 800.0 / 600.0, 0.05);
        EXPECT_LE(std::fabs(p.Position.y), kHalfFovTan * -z1 + 1e-3);
        EXPECT_GE(speed, f.SpeedMin - 1e-3);
        EXPECT_LE(speed, f.SpeedMax + 1e-3);
    }
}

TEST_F(FishesTest, WarmedUpFishNeverClimbOrTurnAndAWindowWithoutHeightPoisonsNothing) {
    TFixedWindowSize flat(800, 0);
    TFixedWindowSize empty(0, 0);
    TFishes a(window), b(flat), c(empty);
    TFishes* species[] = {&a, &b, &c};
    std::int32_t applied = kNothingApplied;
    WarmUpFishes(species, 90, applied);
    for (TFishes* f : species) {
        ASSERT_EQ(f->Count, 30);
        for (int i = 0; i < f->Count; ++i) {
            const TParticle& p = f->Items[i];
            EXPECT_EQ(p.Velocity.y, 0.0f);
            EXPECT_EQ(p.Spin.x, 0.0f);
            EXPECT_EQ(p.Spin.y, 0.0f);
            EXPECT_EQ(p.Spin.z, 0.0f);
            EXPECT_EQ(p.Rotation.x, 0.0f);
            EXPECT_EQ(p.Rotation.z, 0.0f);
            EXPECT_TRUE(std::isfinite(p.Position.x) && std::isfinite(p.Position.y) && std::isfinite(p.Position.z));
            EXPECT_TRUE(std::isfinite(p.LifeTime));
            EXPECT_LE(p.Age, p.LifeTime);
        }
    }
    // Zero width: start and end one unit either side of the centre line.
    TParticle p = c.Items[0];
    c.InitParticle(p);
    EXPECT_NEAR(p.Position.x + 1000.0 * p.Velocity.x / std::hypot(p.Velocity.x, p.Velocity.z), -1.0, 1e-3);
}

}  // namespace
