#include "framework/core/Clock.h"

#include "framework/core/Time.h"

namespace q9framework {

double SystemClock::nowMilliseconds() const noexcept { return getMillisecondCounterHiRes(); }

SystemClock& SystemClock::getInstance() noexcept
{
    static SystemClock clock;
    return clock;
}

} // namespace q9framework
