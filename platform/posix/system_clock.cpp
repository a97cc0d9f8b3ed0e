// The millisecond clock on Linux: CLOCK_MONOTONIC, which never steps backward. Its resolution
// is already finer than a millisecond, so period requests always succeed and change nothing.
#include <time.h>

#include "platform/services.h"

namespace {

class MonotonicClock final : public IMillisecondClock {
public:
    std::uint32_t Now() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);
    }
    bool GetPeriodRange(std::uint32_t& minimum, std::uint32_t& maximum) override {
        minimum = 1;
        maximum = 1000000;
        return true;
    }
    bool BeginPeriod(std::uint32_t) override { return true; }
    void EndPeriod(std::uint32_t) override {}
};

}  // namespace

IMillisecondClock& SystemClock() {
    static MonotonicClock clock;
    return clock;
}
