#pragma once
// A stopwatch on the system's millisecond clock, read as seconds in extended precision.
#include <cstdint>

// A millisecond clock and its resolution requests: the platform's (SystemClock()) or a test's.
class IMillisecondClock {
public:
    virtual ~IMillisecondClock() = default;
    // Milliseconds since some fixed start, wrapping after 2^32.
    virtual std::uint32_t Now() = 0;
    // The clock's minimum and maximum period; false when the query fails.
    virtual bool GetPeriodRange(std::uint32_t& minimum, std::uint32_t& maximum) = 0;
    virtual bool BeginPeriod(std::uint32_t milliseconds) = 0;
    virtual void EndPeriod(std::uint32_t milliseconds) = 0;
};

class TTime {
public:
    // Stores the total and its breakdown into days, hours, minutes, seconds and milliseconds.
    void SetMilliseconds(std::uint32_t total);
    void Clear() { SetMilliseconds(0); }
    long double AsMilliseconds() const { return milliseconds_; }
    long double AsSeconds() const { return AsMilliseconds() / 1000.0L; }

    std::uint32_t Milliseconds() const { return milliseconds_; }
    std::uint32_t MilliPart() const { return milliPart_; }
    std::uint32_t Seconds() const { return seconds_; }
    std::uint32_t Minutes() const { return minutes_; }
    std::uint32_t Hours() const { return hours_; }
    std::uint32_t Days() const { return days_; }

private:
    std::uint32_t milliseconds_ = 0;
    std::uint32_t milliPart_ = 0;
    std::uint32_t seconds_ = 0;
    std::uint32_t minutes_ = 0;
    std::uint32_t hours_ = 0;
    std::uint32_t days_ = 0;
};

class TTimerPro {
public:
    static constexpr std::int32_t kNoPeriod = -1;

    explicit TTimerPro(IMillisecondClock& clock);
    ~TTimerPro();
    TTimerPro(const TTimerPro&) = delete;
    TTimerPro& operator=(const TTimerPro&) = delete;

    // Clears the time and starts counting; a running stopwatch is left alone.
    void Start();
    // Takes a last reading and freezes the time.
    void Stop();
    // Counts on from the frozen time: the stopped span is left out. A running stopwatch is left alone.
    void Resume();
    const TTime& Elapsed();

    bool Running() const { return running_; }
    std::int32_t Period() const { return period_; }
    std::uint32_t LastTick() const { return lastTick_; }

private:
    void Update();

    IMillisecondClock& clock_;
    TTime time_;
    std::uint32_t lastTick_ = 0;
    bool running_ = false;
    std::int32_t period_ = kNoPeriod;
};
