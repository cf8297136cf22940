#pragma once
#include <cstdint>

namespace q9framework {

/** Where the run loop and its timers get the time from: milliseconds on a monotonic scale whose
    origin means nothing. Injected so that tests drive time by hand. Any thread. */
class Clock {
public:
    virtual ~Clock() = default;
    virtual double nowMilliseconds() const noexcept = 0;
};

/** The real clock: getMillisecondCounterHiRes(). */
class SystemClock : public Clock {
public:
    double nowMilliseconds() const noexcept override;
    /** The one the process-wide main loop uses. */
    static SystemClock& getInstance() noexcept;
};

/** A clock that moves only when told; for tests. Not synchronised: set it on the thread that pumps. */
class ManualClock : public Clock {
public:
    explicit ManualClock(double startMilliseconds = 0.0) noexcept : now(startMilliseconds) {}
    double nowMilliseconds() const noexcept override { return now; }
    void advance(double milliseconds) noexcept { now += milliseconds; }
    void set(double milliseconds) noexcept { now = milliseconds; }

private:
    double now;
};

} // namespace q9framework
