#include <gtest/gtest.h>

#include "app/wallpaper.h"

namespace {

struct TFakePower final : IPowerSource {
    bool battery = false;
    int asked = 0;
    bool OnBattery() override {
        ++asked;
        return battery;
    }
};

// The cap the user gives holds on mains; on battery the rate drops to 10 unless asked not to or
// already lower; the power source is asked at most every few seconds, and a change shows within them.
TEST(WallpaperPace, CapAndBatteryPolicy) {
    TFakePower power;
    TWallpaperPace pace(TWallpaperOptions{}, &power);
    EXPECT_EQ(pace.Rate(100), 30);
    power.battery = true;
    EXPECT_EQ(pace.Rate(101), 30);  // not asked again yet
    EXPECT_EQ(power.asked, 1);
    EXPECT_EQ(pace.Rate(100 + TWallpaperPace::kAskEvery), 10);
    EXPECT_EQ(power.asked, 2);
    power.battery = false;
    EXPECT_EQ(pace.Rate(100 + 2 * TWallpaperPace::kAskEvery), 30);
    // A clock that went back asks again rather than waiting for it.
    power.battery = true;
    EXPECT_EQ(pace.Rate(1), 10);

    TWallpaperPace slow(TWallpaperOptions{.FrameRate = 5}, &power);
    EXPECT_EQ(slow.Rate(0), 5);
    TFakePower onBattery;
    onBattery.battery = true;
    TWallpaperPace full(TWallpaperOptions{.FrameRate = 60, .FullOnBattery = true}, &onBattery);
    EXPECT_EQ(full.Rate(0), 60);
    EXPECT_EQ(onBattery.asked, 0);  // nothing to ask for
    TWallpaperPace unknown(TWallpaperOptions{.FrameRate = 45}, nullptr);
    EXPECT_EQ(unknown.Rate(0), 45);
}

}  // namespace
