#include "app/timing.h"

#include <algorithm>

void TTime::SetMilliseconds(std::uint32_t total) {
    milliseconds_ = total;
    days_ = total / 86400000u;
    std::uint32_t rest = total % 86400000u;
    hours_ = rest / 3600000u;
    rest %= 3600000u;
    minutes_ = rest / 60000u;
    rest %= 60000u;
    seconds_ = rest / 1000u;
    milliPart_ = rest % 1000u;
}

TTimerPro::TTimerPro(IMillisecondClock& clock) : clock_(clock) {
    std::uint32_t minimum = 0, maximum = 0;
    if (clock_.GetPeriodRange(minimum, maximum)) {
        period_ = static_cast<std::int32_t>(std::max<std::uint32_t>(1u, minimum));
        if (!clock_.BeginPeriod(static_cast<std::uint32_t>(period_))) {
            period_ = kNoPeriod;
            clock_.BeginPeriod(1);
        }
    } else {
        clock_.BeginPeriod(1);
    }
}

TTimerPro::~TTimerPro() {
    if (period_ != kNoPeriod) clock_.EndPeriod(static_cast<std::uint32_t>(period_));
}

void TTimerPro::Update() {
    const std::uint32_t now = clock_.Now();
    // Signed 32-bit difference: a wrapped clock gives the small true step, a backward step
    // is ignored.
    const auto delta = static_cast<std::int32_t>(now - lastTick_);
    if (delta > 0) time_.SetMilliseconds(time_.Milliseconds() + static_cast<std::uint32_t>(delta));
    lastTick_ = now;
}

void TTimerPro::Start() {
    if (!running_) {
        lastTick_ = clock_.Now();
        time_.Clear();
    }
    running_ = true;
}

void TTimerPro::Stop() {
    if (running_) Update();
    running_ = false;
}

void TTimerPro::Resume() {
    if (!running_) lastTick_ = clock_.Now();
    running_ = true;
}

const TTime& TTimerPro::Elapsed() {
    if (running_) Update();
    return time_;
}
