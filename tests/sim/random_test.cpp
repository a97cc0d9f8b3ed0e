#include <gtest/gtest.h>

#include "sim/random.h"

namespace {

TEST(RandomNumbers, GeneratorMatchesTheWorkedNumbersForSeed7) {
    RandomSeed = 7;
    const long double f = RandomFloat();
    EXPECT_EQ(RandomSeed, 943430692u);
    EXPECT_EQ(f, 943430692.0L / 4294967296.0L);
    EXPECT_NEAR(static_cast<double>(f), 0.2196596, 1e-7);
    EXPECT_EQ(RandomInt(12), 10);
    EXPECT_EQ(RandomSeed, 3603733685u);
}

TEST(RandomNumbers, RandomIntStaysInRange) {
    RandomSeed = 12345;
    for (int i = 0; i < 1000; ++i) {
        const int r = RandomInt(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
    }
    EXPECT_EQ(RandomInt(1), 0);
}

TEST(RandomNumbers, TableIsFilledAtStartFromSeed7AndSpreadAroundTheCycle) {
    // The table filled at program start equals one filled now from seed 7.
    const auto atStart = RandomTable;
    RandomSeed = 7;
    FillRandomTable();
    EXPECT_EQ(atStart, RandomTable);
    EXPECT_EQ(RandomTable[0], static_cast<float>(943430692.0L / 4294967296.0L));
    for (float v : RandomTable) {
        EXPECT_GE(v, 0.0f);
        EXPECT_LT(v, 1.0f);
    }
    EXPECT_TRUE(RandomTableIsSpread());
    RandomTable[50] = RandomTable[30] + 0.005f;
    EXPECT_FALSE(RandomTableIsSpread());
    FillRandomTable();  // a new table from the current seed keeps the rule too
    EXPECT_TRUE(RandomTableIsSpread());
}

TEST(RandomNumbers, TableNextCyclesAfter100Entries) {
    RandomSeed = 7;
    FillRandomTable();
    EXPECT_EQ(TableCursor, 0);
    const float first = TableNext();
    EXPECT_EQ(first, RandomTable[0]);
    for (int i = 1; i < 100; ++i) EXPECT_EQ(TableNext(), RandomTable[i]);
    EXPECT_EQ(TableCursor, 100);
    EXPECT_EQ(TableNext(), first);  // the 101st call
    EXPECT_EQ(TableCursor, 1);
}

}  // namespace
