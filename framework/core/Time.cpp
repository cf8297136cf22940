#include "framework/core/Time.h"

#include "framework/core/DeletedAtShutdown.h"

#include <atomic>
#include <mutex>

namespace q9framework {

namespace {

/** The counter's time base: ticks of CLOCK_MONOTONIC are nanoseconds, i.e. a fraction of 1/1, which
    the Mac's rule turns into milliseconds per tick as (numer) / (denom * 1000000) because numer is not
    a multiple of 1000000. Kept as a fraction so the rule stays visible and exact. */
class HiResCounterHandler : public DeletedAtShutdown {
public:
    HiResCounterHandler() noexcept
    {
        const uint64_t numer = 1, denom = 1;
        const bool whole = numer % 1000000 == 0;
        const double a = whole ? static_cast<double>(numer / 1000000) : static_cast<double>(numer);
        const double b = whole ? static_cast<double>(denom) : static_cast<double>(denom) * 1000000.0;
        msPerTick = a / b;
    }
    ~HiResCounterHandler() override;

    double msPerTick = 0.0;
};

std::atomic<HiResCounterHandler*> handler{nullptr};
std::mutex handlerLock;

HiResCounterHandler::~HiResCounterHandler()
{
    HiResCounterHandler* self = this;
    handler.compare_exchange_strong(self, nullptr);
}

double ticksNow() noexcept
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

} // namespace

double getMillisecondCounterHiRes() noexcept
{
    HiResCounterHandler* h = handler.load(std::memory_order_acquire);
    if (h == nullptr) {
        const std::lock_guard<std::mutex> hold(handlerLock);
        h = handler.load();
        if (h == nullptr) {
            h = new HiResCounterHandler();
            handler.store(h, std::memory_order_release);
        }
    }
    return ticksNow() * h->msPerTick;
}

Time::Time(int64_t secondsSinceEpoch) noexcept
{
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    empty = localtime_r(&t, &fields) == nullptr;
}

Time Time::getCurrentTime() noexcept { return Time(static_cast<int64_t>(std::time(nullptr))); }

int16_t Time::getField(int index) const noexcept
{
    if (empty)
        return 0;
    switch (index) {
        case year: return static_cast<int16_t>(fields.tm_year + 1900);
        case month: return static_cast<int16_t>(fields.tm_mon + 1);
        case dayOfWeek: return static_cast<int16_t>(fields.tm_wday + 1);
        case dayOfMonth: return static_cast<int16_t>(fields.tm_mday);
        case hour: return static_cast<int16_t>(fields.tm_hour);
        case minute: return static_cast<int16_t>(fields.tm_min);
        case second: return static_cast<int16_t>(fields.tm_sec);
        default: return 0;
    }
}

} // namespace q9framework
