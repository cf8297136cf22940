#pragma once
// Display tests wait on the toolkit's own loop: pump the main loop (its timers, its X connection) until
// a condition holds or the time is up.

#include "framework/core/MessageLoop.h"

#include <chrono>
#include <functional>
#include <thread>

/** True as soon as `done`; false when `timeout` passed first. */
inline bool pumpMainLoopUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout = std::chrono::seconds(2))
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        q9framework::MessageLoop::getMain().pump();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}
