#pragma once
#include <vector>

#include "app/timing.h"

// A millisecond clock the test moves by hand; it records the period requests it receives.
class FakeClock final : public IMillisecondClock {
public:
    std::uint32_t now = 0;
    bool capsSucceed = true;
    std::uint32_t minimumPeriod = 1;
    bool beginSucceeds = true;
    std::vector<std::uint32_t> begun;
    std::vector<std::uint32_t> ended;

    std::uint32_t Now() override { return now; }
    bool GetPeriodRange(std::uint32_t& minimum, std::uint32_t& maximum) override {
        minimum = minimumPeriod;
        maximum = 1000000;
        return capsSucceed;
    }
    bool BeginPeriod(std::uint32_t ms) override {
        begun.push_back(ms);
        return beginSucceeds;
    }
    void EndPeriod(std::uint32_t ms) override { ended.push_back(ms); }
};
