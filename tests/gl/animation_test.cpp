// Key-frame animation: the clock, key order and search, vertex blending. No context needed.
#include <gtest/gtest.h>

#include "app/exception.h"
#include "gl/animation.h"
#include "support/exception_message.h"

namespace {


// Records every interpolation it is asked for.
class RecordingAnimation : public TKeyAnimation {
public:
    struct Call {
        long double a, b, fraction;
    };
    std::vector<Call> calls;
    void Interpolate(TAnimationKey* a, TAnimationKey* b, long double fraction) override {
        calls.push_back({a->Time, b->Time, fraction});
    }
    void AddTimes(std::initializer_list<long double> times) {
        for (long double t : times) Add(std::make_unique<TAnimationKey>(), t);
    }
};

TEST(TAnimation, IgnoresTimeUntilStartedAndUpdatesOnlyOnChange) {
    RecordingAnimation animation;
    animation.AddTimes({0.0L, 0.2L, 0.4L, 0.6L, 0.8L, 1.0L});
    animation.SetTime(5);
    EXPECT_TRUE(animation.calls.empty());
    EXPECT_EQ(animation.CurrentTime, -1.0L);
    animation.Start(10);
    animation.SetTime(9);  // before the start: local time 0, the first key
    ASSERT_EQ(animation.calls.size(), 1u);
    EXPECT_EQ(animation.calls[0].a, 0.0L);
    EXPECT_EQ(animation.calls[0].fraction, 0.0L);
    animation.SetTime(10.3L);
    animation.SetTime(10.3L);
    EXPECT_EQ(animation.calls.size(), 2u);
}

TEST(TAnimation, LoopingWrapsAndBlendsNeighbouringKeys) {
    RecordingAnimation animation;
    animation.AddTimes({0.0L, 0.2L, 0.4L, 0.6L, 0.8L, 1.0L});
    animation.Loop = true;
    animation.Start(10);
    animation.SetTime(10.5L);
    ASSERT_EQ(animation.calls.size(), 1u);
    EXPECT_NEAR(static_cast<double>(animation.calls[0].a), 0.4, 1e-12);
    EXPECT_NEAR(static_cast<double>(animation.calls[0].b), 0.6, 1e-12);
    EXPECT_NEAR(static_cast<double>(animation.calls[0].fraction), 0.5, 1e-9);
    animation.SetTime(11.3L);
    ASSERT_EQ(animation.calls.size(), 2u);
    EXPECT_NEAR(static_cast<double>(animation.CurrentTime), 0.3, 1e-12);
    EXPECT_NEAR(static_cast<double>(animation.calls[1].a), 0.2, 1e-12);
    EXPECT_NEAR(static_cast<double>(animation.calls[1].fraction), 0.5, 1e-9);
    EXPECT_FALSE(animation.Stopped);
}

TEST(TAnimation, WithoutLoopItFreezesOnTheLastKey) {
    RecordingAnimation animation;
    animation.AddTimes({0.0L, 0.2L, 0.4L, 0.6L, 0.8L, 1.0L});
    animation.Start(10);
    animation.SetTime(12);
    ASSERT_EQ(animation.calls.size(), 1u);
    EXPECT_EQ(animation.calls[0].a, 1.0L);
    EXPECT_EQ(animation.calls[0].b, 1.0L);
    EXPECT_EQ(animation.calls[0].fraction, 0.0L);
    EXPECT_TRUE(animation.Stopped);
    animation.SetTime(10.5L);
    EXPECT_EQ(animation.calls.size(), 1u);
    animation.Start(20);  // restarts the clock
    animation.SetTime(20.1L);
    EXPECT_EQ(animation.calls.size(), 2u);
}

TEST(TAnimation, LoopWithZeroSpanHoldsTheFirstKey) {
    RecordingAnimation animation;
    animation.AddTimes({0.0L});
    animation.Loop = true;
    animation.Start(0);
    animation.SetTime(3.7L);
    ASSERT_EQ(animation.calls.size(), 1u);
    EXPECT_EQ(animation.CurrentTime, 0.0L);
    animation.SetTime(4.2L);
    EXPECT_EQ(animation.calls.size(), 1u);  // still local time 0: no further update
}

TEST(TKeyAnimation, WithoutKeysSetTimeIsQuietAndUpdateFails) {
    RecordingAnimation animation;
    animation.Start(0);
    animation.SetTime(1);
    EXPECT_EQ(animation.CurrentTime, -1.0L);
    EXPECT_EQ(MessageOf([&] { animation.IndexByTime(0); }), "TKeyAnimation IndexByTime is failed\r\nKeyCount is Zero!");
    EXPECT_EQ(MessageOf([&] { animation.Update(); }), "TKeyAnimation IndexByTime is failed\r\nKeyCount is Zero!");
}

TEST(TKeyAnimation, IndexByTimeFindsTheIntervalStart) {
    RecordingAnimation animation;
    animation.AddTimes({0.0L, 1.0L, 1.0L, 2.0L});
    EXPECT_EQ(animation.IndexByTime(1), 1);
    EXPECT_EQ(animation.IndexByTime(1.5L), 2);
    EXPECT_EQ(animation.IndexByTime(-3), 0);
    EXPECT_EQ(animation.IndexByTime(7), 3);
    EXPECT_EQ(animation.IndexByTime(0.5L), 0);
    EXPECT_EQ(animation.IndexByTime(2), 3);
}

TEST(TKeyAnimation, AddKeepsTimeOrderAndWidensTheRange) {
    RecordingAnimation animation;
    TAnimationKey* first = animation.Add(std::make_unique<TAnimationKey>(), 1);
    EXPECT_EQ(animation.StartTime, 0.0L);
    EXPECT_EQ(animation.EndTime, 0.0L);  // the first key counts only through the initial 0
    animation.AddTimes({2.0L, 0.5L});
    ASSERT_EQ(animation.KeyCount(), 3);
    EXPECT_EQ(animation.GetKey(0)->Time, 0.5L);
    EXPECT_EQ(animation.GetKey(1), first);
    EXPECT_EQ(animation.GetKey(2)->Time, 2.0L);
    EXPECT_EQ(animation.StartTime, 0.0L);
    EXPECT_EQ(animation.EndTime, 2.0L);
    // An equal time goes directly after the first key of that time.
    TAnimationKey* twin = animation.Add(std::make_unique<TAnimationKey>(), 1);
    EXPECT_EQ(animation.GetKey(2), twin);
    TAnimationKey* early = animation.Add(std::make_unique<TAnimationKey>(), -1);
    EXPECT_EQ(animation.GetKey(0), early);
    EXPECT_EQ(animation.StartTime, -1.0L);
    EXPECT_EQ(MessageOf([&] { animation.Add(nullptr, 3); }), "TKeyAnimation.Add error: Key is NIL!");
    EXPECT_EQ(animation.KeyCount(), 5);
}

TEST(TKeyAnimation, BadIndexMessagesAreWrappedAndKeepTheListClass) {
    RecordingAnimation animation;
    animation.AddTimes({0.0L, 1.0L, 2.0L});
    EXPECT_EQ(MessageOf([&] { animation.GetKey(5); }), "TKeyAnimation GetKey is failed!\r\nList index out of bounds (5)");
    EXPECT_THROW(animation.GetKey(-1), EListError);
    EXPECT_EQ(MessageOf([&] { animation.Delete(3); }),
              "TKeyAnimation Delete is failed!\r\nTKeyAnimation GetKey is failed!\r\nList index out of bounds (3)");
    EXPECT_THROW(animation.Delete(3), EListError);
    animation.Delete(1);
    ASSERT_EQ(animation.KeyCount(), 2);
    EXPECT_EQ(animation.GetKey(1)->Time, 2.0L);
    EXPECT_EQ(animation.EndTime, 2.0L);  // not recomputed
}

TEST(TGLVertexAnimation, BlendsKeysIntoThePrimitiveAndRefusesKeysOfAnotherSize) {
    TGLPrimitive primitive;
    primitive.Vertices.SetCount(2);
    TGLVertexAnimation animation;
    animation.Primitive = &primitive;
    animation.AddVertexKey(0).SetFromArray(std::vector<float>{0, 0, 0, 2, 0, 0});
    animation.AddVertexKey(1).SetFromArray(std::vector<float>{4, 0, 0, 2, 8, 0});
    animation.AddVertexKey(2).SetFromArray(std::vector<float>{4, 4, 4});  // another size
    animation.Start(0);
    animation.SetTime(0.25L);
    EXPECT_FLOAT_EQ(primitive.Vertices.GetItem(0).x, 1.0f);
    EXPECT_FLOAT_EQ(primitive.Vertices.GetItem(1).y, 2.0f);
    EXPECT_NE(MessageOf([&] { animation.SetTime(1.5L); }).find("TDArray GetItem: index out of bounds."), std::string::npos);
    EXPECT_NE(MessageOf([&] { animation.SetTime(3); }).find("TDArray GetItem: index out of bounds."), std::string::npos);
    EXPECT_EQ(primitive.Vertices.Count(), 2);  // still the size its indices were made for
    EXPECT_FLOAT_EQ(primitive.Vertices.GetItem(0).x, 1.0f);

    TAnimationKey plain;
    EXPECT_EQ(MessageOf([&] { animation.Interpolate(&plain, &plain, 0); }), "Invalid class typecast");
    animation.Primitive = nullptr;
    EXPECT_NO_THROW(animation.Interpolate(&plain, &plain, 0));
}

int liveAnimations = 0;
struct CountedAnimation : RecordingAnimation {
    CountedAnimation() { ++liveAnimations; }
    ~CountedAnimation() override { --liveAnimations; }
};

TEST(TAnimationList, DrivesEveryAnimationAndOwnsThem) {
    {
        TAnimationList list;
        auto* a = static_cast<CountedAnimation*>(list.Add(std::make_unique<CountedAnimation>()));
        auto* b = static_cast<CountedAnimation*>(list.Add(std::make_unique<CountedAnimation>()));
        a->AddTimes({0.0L, 1.0L});
        b->AddTimes({0.0L, 2.0L});
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Get(1), b);
        EXPECT_EQ(MessageOf([&] { list.Get(2); }), "List index out of bounds (2)");
        list.Start(5);
        list.SetTime(5.5L);
        EXPECT_EQ(list.Time(), 5.5L);
        EXPECT_EQ(a->calls.size(), 1u);
        EXPECT_NEAR(static_cast<double>(b->calls.at(0).fraction), 0.25, 1e-12);
        list.Clear();
        EXPECT_EQ(liveAnimations, 0);
        list.Add(std::make_unique<CountedAnimation>());
    }
    EXPECT_EQ(liveAnimations, 0);
}

}  // namespace
