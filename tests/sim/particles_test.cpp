#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/exception.h"
#include "sim/particles.h"

namespace {

// Records every start with the Count visible at that moment; a started particle gets a lifetime
// of 1 s and moves along +x at 10 units per second.
class RecordingParticles : public TParticles {
public:
    void InitParticle(TParticle& p) override {
        starts.push_back({static_cast<int>(&p - Items.data()), Count});
        p.Age = 0.0f;
        p.LifeTime = 1.0f;
        p.Velocity = {10.0f, 0.0f, 0.0f};
        p.Spin = {0.0f, 90.0f, 0.0f};
    }
    struct Start {
        int index;
        int countSeen;
    };
    std::vector<Start> starts;
};

TEST(Particles, SetCountStartsNewRecordsInOrderWithTheOldCountVisibleAndClamps) {
    RecordingParticles ps;
    for (const TParticle& p : ps.Items) EXPECT_EQ(p.Owner, &ps);
    ps.SetCount(250);
    EXPECT_EQ(ps.Count, 200);
    ASSERT_EQ(ps.starts.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(ps.starts[i].index, i);
        EXPECT_EQ(ps.starts[i].countSeen, 0);
    }
    ps.SetCount(-5);  // nonsense from a caller counts as 0
    EXPECT_EQ(ps.Count, 0);
}

TEST(Particles, ShrinkKeepsRecordsAndRegrowthRestartsOnlyTheAddedOnes) {
    RecordingParticles ps;
    ps.SetCount(5);
    ps.Update(0.5f);
    ps.SetCount(3);
    ps.Update(0.25f);
    ps.starts.clear();
    ps.SetCount(5);
    ASSERT_EQ(ps.starts.size(), 2u);
    EXPECT_EQ(ps.starts[0].index, 3);
    EXPECT_EQ(ps.starts[1].index, 4);
    EXPECT_EQ(ps.starts[0].countSeen, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ps.Items[i].Position.x, 7.5f);
        EXPECT_EQ(ps.Items[i].Rotation.y, 67.5f);
        EXPECT_EQ(ps.Items[i].Age, 0.75f);
    }
    EXPECT_EQ(ps.Items[3].Age, 0.0f);
}

TEST(Particles, AgeEqualToLifeTimeMovesAndRestartsOnlyWhenPassed) {
    RecordingParticles ps;
    ps.SetCount(1);
    ps.starts.clear();
    ps.Update(1.0f);  // Age == LifeTime: moved, not restarted
    EXPECT_TRUE(ps.starts.empty());
    EXPECT_EQ(ps.Items[0].Position.x, 10.0f);
    ps.Update(0.0f);  // a zero step neither moves nor restarts
    EXPECT_TRUE(ps.starts.empty());
    EXPECT_EQ(ps.Items[0].Position.x, 10.0f);
    ps.Update(0.125f);  // restarted, not moved in the same step
    ASSERT_EQ(ps.starts.size(), 1u);
    EXPECT_EQ(ps.Items[0].Age, 0.0f);
    EXPECT_EQ(ps.Items[0].Position.x, 10.0f);
}

TEST(Particles, GravityAndKeepPreviousWhenSwitchedOn) {
    TParticles ps;
    ps.SetCount(1);
    TParticle& p = ps.Items[0];
    p.LifeTime = 100.0f;
    p.Velocity = {0.0f, 10.0f, 0.0f};
    ps.UseGravity = true;
    ps.KeepPrevious = true;
    ps.Gravity = 4.0f;
    ps.Update(0.5f);
    EXPECT_TRUE(p.HasPrevious);
    EXPECT_EQ(p.PreviousPosition.y, 0.0f);
    EXPECT_EQ(p.Position.y, 5.0f);  // the lowered velocity takes effect in the next step
    EXPECT_EQ(p.Velocity.y, 8.0f);
    ps.Update(0.5f);
    EXPECT_EQ(p.PreviousPosition.y, 5.0f);
    EXPECT_EQ(p.Position.y, 9.0f);
}

TEST(Particles, SortGivesAscendingDepthAndComplainsAfterACountChange) {
    TParticles ps;
    ps.SetCount(3);
    const float zs[] = {-10.0f, -300.0f, -50.0f};
    for (int i = 0; i < 3; ++i) ps.Items[i].Position.z = zs[i];
    ps.Sort();
    EXPECT_EQ(ps.SortItems(0).Position.z, -300.0f);
    EXPECT_EQ(ps.SortItems(1).Position.z, -50.0f);
    EXPECT_EQ(ps.SortItems(2).Position.z, -10.0f);
    EXPECT_EQ(ps.SortItems(0).Owner, &ps);
    EXPECT_THROW(ps.SortItems(3), Exception);
    EXPECT_THROW(ps.SortItems(-1), Exception);

    ps.SetCount(2);
    try {
        ps.SortItems(0);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TParticles error: SortItems is not sorted!");
    }
    EXPECT_EQ(ps.Count, 2);
    ps.Clear();
    ps.Sort();  // nothing to sort: the list keeps its old content
    EXPECT_EQ(ps.SortList.size(), 3u);
}

TEST(Particles, SortSurvivesNaNDepthsAndPutsThemLast) {
    TParticles ps;
    ps.SetCount(40);
    for (int i = 0; i < 40; ++i)
        ps.Items[i].Position.z = i % 3 == 0 ? std::numeric_limits<float>::quiet_NaN() : static_cast<float>(-i);
    ps.Sort();
    float last = -1000.0f;
    bool inNaN = false;
    for (int i = 0; i < 40; ++i) {
        const float z = ps.SortItems(i).Position.z;
        if (std::isnan(z)) {
            inNaN = true;
            continue;
        }
        EXPECT_FALSE(inNaN);
        EXPECT_GE(z, last);
        last = z;
    }
}

}  // namespace
