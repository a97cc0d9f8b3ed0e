// The millisecond clock on Windows: the multimedia timer and its resolution requests.
#include <windows.h>
#include <mmsystem.h>

#include "platform/services.h"

namespace {

class MultimediaClock final : public IMillisecondClock {
public:
    std::uint32_t Now() override { return timeGetTime(); }
    bool GetPeriodRange(std::uint32_t& minimum, std::uint32_t& maximum) override {
        TIMECAPS caps{};
        if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return false;
        minimum = caps.wPeriodMin;
        maximum = caps.wPeriodMax;
        return true;
    }
    bool BeginPeriod(std::uint32_t milliseconds) override { return timeBeginPeriod(milliseconds) == TIMERR_NOERROR; }
    void EndPeriod(std::uint32_t milliseconds) override { timeEndPeriod(milliseconds); }
};

}  // namespace

IMillisecondClock& SystemClock() {
    static MultimediaClock clock;
    return clock;
}
