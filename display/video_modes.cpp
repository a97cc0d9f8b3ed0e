#include "display/video_modes.h"

#include <algorithm>

namespace {

// Low resolutions offered when the driver's test cannot be trusted to refuse a bad mode.
constexpr std::int32_t kExtraSizes[][2] = {{320, 200}, {320, 240}, {320, 350}, {320, 400}, {320, 480}, {360, 200},
                                           {360, 240}, {360, 350}, {360, 400}, {360, 480}, {400, 300}, {512, 384}};
constexpr std::int32_t kExtraDepths[] = {8, 15, 16, 24, 32};

TModeRecord ThreeFieldRecord(std::int32_t width, std::int32_t height, std::int32_t depth) {
    TModeRecord record;
    record.Fields = kModeFields;
    record.PelsWidth = width;
    record.PelsHeight = height;
    record.BitsPerPel = depth;
    return record;
}

}  // namespace

TVideoModesList::~TVideoModesList() {
    if (switched_) Restore();
}

void TVideoModesList::CaptureDesktopMode() {
    if (desktopMode_.ColorDepth != 0) return;
    desktopMode_ = driver_.ScreenMode();
}

TVideoMode TVideoModesList::GetDesktopMode() {
    CaptureDesktopMode();
    return desktopMode_;
}

bool TVideoModesList::TestMode(const TModeRecord& record) {
    return driver_.ChangeSettings(&record, kCdsTest | kCdsFullScreen) == kDispChangeSuccessful;
}

void TVideoModesList::AddMode(const TModeRecord& record) {
    const TVideoMode mode{record.PelsWidth, record.PelsHeight, record.BitsPerPel};
    if (std::find(modes_.begin(), modes_.end(), mode) != modes_.end()) return;
    if (TestMode(record)) modes_.push_back(mode);
}

void TVideoModesList::Enumerate() {
    Clear();
    TModeRecord record;
    for (std::uint32_t index = 0;; ++index) {
        TModeRecord filled = record;
        if (!driver_.EnumSettings(index, filled)) break;
        record = filled;
        AddMode(record);
    }
    // A driver that accepts this impossible mode accepts anything: its answers are no guide,
    // so only what it enumerated is listed.
    record.BitsPerPel = 8;
    record.PelsWidth = 42;
    record.PelsHeight = 37;
    record.Fields = kModeFields;
    if (TestMode(record)) return;
    for (const auto& size : kExtraSizes)
        for (const auto depth : kExtraDepths) AddMode(ThreeFieldRecord(size[0], size[1], depth));
}

bool TVideoModesList::SwitchTo(std::int32_t width, std::int32_t height, std::int32_t depth) {
    CaptureDesktopMode();
    const auto record = ThreeFieldRecord(width, height, depth);
    if (driver_.ChangeSettings(&record, kCdsFullScreen) != kDispChangeSuccessful) return false;
    switched_ = true;
    return true;
}

void TVideoModesList::Restore() {
    driver_.ChangeSettings(nullptr, kCdsFullScreen);
    switched_ = false;
}
