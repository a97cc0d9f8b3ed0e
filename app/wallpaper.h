#pragma once
// The live wallpaper's own options (--fps, --on-battery) and its pace: how many frames a second
// it draws, from the user's cap and whether the machine runs on battery. They hold for one run
// and are never stored.
#include <cstdint>
#include <string>
#include <vector>

struct TWallpaperOptions {
    static constexpr std::int32_t kDefaultFrameRate = 30;
    static constexpr std::int32_t kMaxFrameRate = 60;
    // On battery the wallpaper draws at most this often unless FullOnBattery.
    static constexpr std::int32_t kBatteryFrameRate = 10;
    std::int32_t FrameRate = kDefaultFrameRate;
    bool FullOnBattery = false;
};

// The options after "--wallpaper" (argument 1). Raises EHackUsage (one line naming the option)
// for an unknown option, a missing value or one out of range.
TWallpaperOptions ParseWallpaperOptions(const std::vector<std::string>& args);

// Whether the machine runs on its battery now (UPower's OnBattery on Linux). Asking may take a
// round trip to another process.
class IPowerSource {
public:
    virtual ~IPowerSource() = default;
    virtual bool OnBattery() = 0;
};

// The frame rate the wallpaper keeps, asking the power source at most every kAskEvery seconds.
class TWallpaperPace {
public:
    static constexpr double kAskEvery = 5;
    TWallpaperPace(TWallpaperOptions options, IPowerSource* power) : options_(options), power_(power) {}
    // The rate at `seconds` (any steadily rising clock): the user's cap, lowered on battery.
    double Rate(double seconds);

private:
    TWallpaperOptions options_;
    IPowerSource* power_;
    bool asked_ = false;
    double askedAt_ = 0;
    bool onBattery_ = false;
};
