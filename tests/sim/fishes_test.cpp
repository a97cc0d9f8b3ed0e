#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <span>

#include "app/exception.h"
#include "sim/fishes.h"
#include "sim/random.h"

namespace {

const double kHalfFovTan = std::tan(37.5 * 3.14159265358979323846 / 180.0);

// Tests that force the process-wide random table put the real one back.
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
    std::array<float, kRandomTableSize> saved{};
    TFixedWindowSize window{800, 600};
};

TEST_F(FishesTest, FishCountIsSpreadOverTheSpeciesOnlyWhenItChanges) {
    TFishes a(window), b(window), c(window);
    TFishes* three[] = {&a, &b, &c};
    std::int32_t applied = kNothingApplied;
    for (auto [total, first, others] : {std::array{20, 8, 6}, {100, 34, 33}, {1, 1, 0}, {2, 2, 0}, {5, 3, 1}, {0, 0, 0}}) {
        ApplyFishCount(three, total, applied);
        EXPECT_EQ(a.Count, first) << total;
        EXPECT_EQ(b.Count, others) << total;
        EXPECT_EQ(c.Count, others) << total;
    }
    // The applied count is compared, not the history.
    a.SetCount(7);
    ApplyFishCount(three, 0, applied);
    EXPECT_EQ(a.Count, 7);

    TFishes* one[] = {&a};
    std::int32_t appliedOne = kNothingApplied;
    ApplyFishCount(one, 0, appliedOne);  // the marker makes the first call distribute
    EXPECT_EQ(a.Count, 0);
    TFishes* broken[] = {&a, nullptr};
    EXPECT_THROW(ApplyFishCount(broken, 4, appliedOne), Exception);
}

TEST_F(FishesTest, HighFishIsLoweredIntoTheViewAndLevelPathSwimsStraight) {
    TFishes f(window);
    f.DepthMin = f.DepthMax = 300.0f;
    f.HeightMin = f.HeightMax = 2400.0f;
    f.SpeedMin = f.SpeedMax = 200.0f;
    ForceTable(0.5f);
    f.SetCount(1);
    const TParticle& p = f.Items[0];
    EXPECT_NEAR(p.Position.y, 230.2, 0.05);  // tan(37.5 deg) * 300
    // Start and target at equal depth: heading 0, straight along +x.
    EXPECT_EQ(p.Position.z, -300.0f);
    EXPECT_EQ(p.Velocity.x, 200.0f);
    EXPECT_EQ(p.Velocity.z, 0.0f);
    EXPECT_EQ(p.Rotation.y, 0.0f);
    const double edge = 1.0 + kHalfFovTan * 300.0 * 800.0 / 600.0;  // one unit outside the view
    EXPECT_NEAR(p.Position.x, -edge - 1000.0, 1e-3);
    EXPECT_NEAR(p.LifeTime, (2.0 * edge + 2000.0) / 200.0, 1e-4);
}

TEST_F(FishesTest, DepthBandWidensWithTheFishAlreadyInTheSpecies) {
    TFishes f(window);
    f.DepthMin = 500.0f;
    f.DepthMax = 10000.0f;
    f.SpeciesShare = 100.0f / 3.0f;
    ForceTable(1.0f);  // every fish starts at the far end of its band
    const auto depthBeforeLead = [](const TParticle& p) {
        return -(p.Position.z + TFishes::LeadDistance * p.Velocity.z / std::hypot(p.Velocity.x, p.Velocity.z));
    };
    f.SetCount(33);  // all started while the container was empty: a third of the way
    EXPECT_NEAR(depthBeforeLead(f.Items[32]), 500.0 + 9500.0 / 3.0, 0.05);
    f.SetCount(34);  // started with 33 fish present
    EXPECT_NEAR(depthBeforeLead(f.Items[33]), 500.0 + 9500.0 * (50.0 / 3.0 + 33.0) / 50.0, 0.05);
    EXPECT_GT(f.Items[33].Velocity.z, 0.0f);  // heads towards the middle of the band
}

TEST_F(FishesTest, CrossesFromBeyondTheLeftEdgeToBeyondTheRightEdge) {
    TFishes f(window);
    f.SetCount(60);
    for (const TParticle& p : std::span(f.Items).first(60)) {
        const double speed = std::hypot(p.Velocity.x, p.Velocity.z);
        const double cosA = p.Velocity.x / speed, sinA = p.Velocity.z / speed;
        EXPECT_NEAR(p.Rotation.y, -std::atan2(sinA, cosA) * 180.0 / 3.14159265358979323846, 1e-3);
        const double x0 = p.Position.x + 1000.0 * cosA, z0 = p.Position.z + 1000.0 * sinA;
        const double x1 = x0 + p.Velocity.x * p.LifeTime - 2000.0 * cosA;
        const double z1 = z0 + p.Velocity.z * p.LifeTime - 2000.0 * sinA;
        EXPECT_NEAR(x0, -1.0 + kHalfFovTan * z0 * 800.0 / 600.0, 0.01);
        EXPECT_NEAR(x1, 1.0 - kHalfFovTan * z1 * 800.0 / 600.0, 0.05);
        EXPECT_LE(std::fabs(p.Position.y), kHalfFovTan * -std::fmax(z0, z1) + 1e-3);
    }
}

TEST_F(FishesTest, WarmedUpFishNeverClimbOrTurnAndAWindowWithoutHeightPoisonsNothing) {
    TFixedWindowSize flat(800, 0), empty(0, 0);
    TFishes a(window), b(flat), c(empty);
    TFishes* species[] = {&a, &b, &c};
    std::int32_t applied = kNothingApplied;
    WarmUpFishes(species, 90, applied);
    for (TFishes* f : species) {
        ASSERT_EQ(f->Count, 30);
        for (const TParticle& p : std::span(f->Items).first(30)) {
            EXPECT_EQ(p.Velocity.y, 0.0f);
            EXPECT_EQ(std::fabs(p.Spin.x) + std::fabs(p.Spin.y) + std::fabs(p.Spin.z), 0.0f);
            EXPECT_EQ(std::fabs(p.Rotation.x) + std::fabs(p.Rotation.z), 0.0f);
            EXPECT_TRUE(std::isfinite(p.Position.x + p.Position.y + p.Position.z + p.LifeTime));
            EXPECT_LE(p.Age, p.LifeTime);
        }
    }
}

}  // namespace
