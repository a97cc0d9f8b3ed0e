#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/exception.h"
#include "sim/particles.h"

namespace {

// Records each start (index, Count seen); a started particle lives 1 s and moves +x at 10/s.
class RecordingParticles : public TParticles {
public:
    void InitParticle(TParticle& p) override {
        starts.push_back({static_cast<int>(&p - Items.data()), Count});
        p = {.Velocity = {10, 0, 0}, .Spin = {0, 90, 0}, .LifeTime = 1.0f, .Owner = this};
    }
    std::vector<std::pair<int, int>> starts;
};

TEST(Particles, SetCountStartsNewRecordsInOrderWithTheOldCountVisibleAndClamps) {
    RecordingParticles ps;
    ps.SetCount(250);
    EXPECT_EQ(ps.Count, 200);
    ASSERT_EQ(ps.starts.size(), 200u);
    EXPECT_EQ(ps.starts[199], std::make_pair(199, 0));
    ps.Update(0.5f);
    ps.SetCount(3);  // records keep their state while out of the live range
    ps.Update(0.25f);
    ps.starts.clear();
    ps.SetCount(5);
    EXPECT_EQ(ps.starts, (std::vector<std::pair<int, int>>{{3, 3}, {4, 3}}));
    EXPECT_EQ(ps.Items[2].Position.x, 7.5f);
    EXPECT_EQ(ps.Items[2].Rotation.y, 67.5f);
    EXPECT_EQ(ps.Items[3].Age, 0.0f);
    EXPECT_EQ(ps.Items[3].Owner, &ps);
    ps.SetCount(-5);  // nonsense from a caller counts as 0
    EXPECT_EQ(ps.Count, 0);
}

TEST(Particles, AgeEqualToLifeTimeMovesAndRestartsOnlyWhenPassed) {
    RecordingParticles ps;
    ps.SetCount(1);
    ps.starts.clear();
    ps.Update(1.0f);  // Age == LifeTime: moved, not restarted
    ps.Update(0.0f);  // a zero step neither moves nor restarts
    EXPECT_TRUE(ps.starts.empty());
    EXPECT_EQ(ps.Items[0].Position.x, 10.0f);
    ps.Update(0.125f);  // restarted, and not moved in the same step
    EXPECT_EQ(ps.starts.size(), 1u);
    EXPECT_EQ(ps.Items[0].Position.x, 0.0f);
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
    ps.SetCount(2);
    try {
        ps.SortItems(0);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TParticles error: SortItems is not sorted!");
    }
}

TEST(Particles, SortSurvivesNaNDepthsAndPutsThemLast) {
    TParticles ps;
    ps.SetCount(40);
    for (int i = 0; i < 40; ++i)
        ps.Items[i].Position.z = i % 3 == 0 ? std::numeric_limits<float>::quiet_NaN() : static_cast<float>(-i);
    ps.Sort();
    for (int i = 1; i < 40; ++i) {
        const float a = ps.SortItems(i - 1).Position.z, b = ps.SortItems(i).Position.z;
        EXPECT_TRUE(std::isnan(b) || a <= b) << i;
    }
}

}  // namespace
