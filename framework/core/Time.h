#pragma once
#include <cstdint>
#include <ctime>

namespace q9framework {

/** A high-resolution millisecond counter on a monotonic scale (not the time of day), as a double.
    Any thread; creates the counter's time base (a DeletedAtShutdown object) on first use. */
double getMillisecondCounterHiRes() noexcept;

/** Calendar fields of a moment in the local time zone. A default-constructed Time is the empty date,
    whose fields all read 0. */
class Time {
public:
    enum Field { year = 0, month = 1, dayOfWeek = 2, dayOfMonth = 3, hour = 4, minute = 5, second = 6 };

    Time() noexcept = default;
    /** Seconds since 1970-01-01 UTC. */
    explicit Time(int64_t secondsSinceEpoch) noexcept;
    static Time getCurrentTime() noexcept;

    bool isEmpty() const noexcept { return empty; }
    /** 0 year (e.g. 2026), 1 month (1..12), 2 day of week (1 Sunday .. 7 Saturday, as the Mac's
        calendar counts), 3 day of month (1..31), 4 hour (0..23), 5 minute, 6 second; 0 for any other
        index or for the empty date. */
    int16_t getField(int index) const noexcept;

private:
    std::tm fields{};
    bool empty = true;
};

} // namespace q9framework
