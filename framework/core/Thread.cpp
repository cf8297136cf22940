#include "framework/core/Thread.h"

#include "framework/core/MessageLoop.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace q9framework {

Thread::~Thread() { stopThread(); }

bool Thread::startThread(int newPriority)
{
    if (thread.joinable()) {
        if (isThreadRunning())
            return true;
        thread.join();   // run() returned by itself; reap it before starting again
    }
    setPriority(newPriority);
    cancelled.store(false, std::memory_order_release);
    executing.store(true, std::memory_order_release);
    try {
        thread = std::thread([this]() {
            run();
            executing.store(false, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        // The framework reports failures as values; the system refusing a thread is one.
        executing.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void Thread::stopThread()
{
    if (!thread.joinable())
        return;
    cancelled.store(true, std::memory_order_release);
    // Asked from run() itself: it cannot wait for its own end; the controlling thread reaps it later.
    if (thread.get_id() == std::this_thread::get_id())
        return;
    while (isThreadRunning())
        sleep(1);
    thread.join();
}

void Thread::setPriority(int newPriority) noexcept { priority = std::clamp(newPriority, 0, 10); }

void Thread::sleep(int milliseconds) noexcept
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(milliseconds) * 1000));
}

bool Thread::isMainThread() noexcept { return MessageLoop::getMain().isLoopThread(); }

} // namespace q9framework
