#include "framework/core/Timer.h"

#include "framework/core/MessageLoop.h"

#include <algorithm>

namespace q9framework {

Timer::Timer() : Timer(MessageLoop::getMain()) {}

Timer::Timer(MessageLoop& loopToUse) : loop(loopToUse) {}

Timer::~Timer() { stopTimer(); }

void Timer::startTimer(uint32_t intervalMilliseconds)
{
    interval = intervalMilliseconds;
    running = true;
    loop.addTimer(*this);   // replaces any schedule this timer had
}

void Timer::stopTimer() noexcept
{
    if (!running)
        return;
    running = false;
    loop.removeTimer(*this);
}

} // namespace q9framework
