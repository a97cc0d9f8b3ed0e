#include "app/wallpaper.h"

#include <algorithm>
#include <cctype>

#include "app/hack_options.h"

TWallpaperOptions ParseWallpaperOptions(const std::vector<std::string>& args) {
    TWallpaperOptions options;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name != "--fps" && name != "--on-battery") throw EHackUsage("unknown option '" + name + "' after '--wallpaper'");
        if (i + 1 >= args.size()) throw EHackUsage("option '" + name + "' needs a value");
        const std::string& value = args[++i];
        if (name == "--fps") {
            const bool digits = !value.empty() && value.size() <= 2 &&
                                std::all_of(value.begin(), value.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
            const int rate = digits ? std::stoi(value) : 0;
            if (rate < 1 || rate > TWallpaperOptions::kMaxFrameRate)
                throw EHackUsage("--fps: '" + value + "' is not a number from 1 to 60");
            options.FrameRate = rate;
        } else {
            if (value != "full" && value != "reduced") throw EHackUsage("--on-battery: '" + value + "' is not full or reduced");
            options.FullOnBattery = value == "full";
        }
    }
    return options;
}

double TWallpaperPace::Rate(double seconds) {
    if (power_ && !options_.FullOnBattery && (!asked_ || seconds - askedAt_ >= kAskEvery || seconds < askedAt_)) {
        asked_ = true;
        askedAt_ = seconds;
        onBattery_ = power_->OnBattery();
    }
    const bool reduced = onBattery_ && !options_.FullOnBattery;
    return reduced ? std::min(options_.FrameRate, TWallpaperOptions::kBatteryFrameRate) : options_.FrameRate;
}
