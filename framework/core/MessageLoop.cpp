#include "framework/core/MessageLoop.h"

#include "framework/core/AsyncCallback.h"
#include "framework/core/Timer.h"
#include "framework/core/Waiter.h"

#include <algorithm>
#include <cmath>

namespace q9framework {

namespace {

std::atomic<MessageLoop*> installedMain{nullptr};

} // namespace

MessageLoop::MessageLoop(Clock& clockToUse)
    : clock(clockToUse), waiter(Waiter::create()), loopThread(std::this_thread::get_id())
{
}

MessageLoop::~MessageLoop()
{
    MessageLoop* self = this;
    installedMain.compare_exchange_strong(self, nullptr);
    // Timers still registered are forgotten, so their destructors find nothing to remove.
    for (Timer* t : timers)
        t->running = false;
}

MessageLoop& MessageLoop::getMain()
{
    if (MessageLoop* installed = installedMain.load(std::memory_order_acquire))
        return *installed;
    static MessageLoop defaultLoop(SystemClock::getInstance());
    return defaultLoop;
}

MessageLoop* MessageLoop::setMain(MessageLoop* loop) noexcept { return installedMain.exchange(loop); }

void MessageLoop::post(std::function<void()> callback)
{
    if (!callback)
        return;
    {
        const std::lock_guard<std::mutex> hold(queueLock);
        queue.push_back(std::move(callback));
    }
    waiter->wake();
}

void MessageLoop::requestAsyncDispatch() noexcept
{
    // Only the first request between two pumps needs to wake the loop.
    if (!asyncDispatchRequested.exchange(true, std::memory_order_acq_rel))
        waiter->wake();
}

int MessageLoop::pump()
{
    if (pumping)
        return 0;
    pumping = true;
    loopThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    waiter->drain();
    int ran = 0;

    // Take what is queued now; what these callbacks post waits for the next pump, so a callback that
    // re-posts itself cannot keep one pump running for ever.
    std::deque<std::function<void()>> batch;
    {
        const std::lock_guard<std::mutex> hold(queueLock);
        batch.swap(queue);
    }
    for (auto& callback : batch) {
        callback();
        ++ran;
    }
    batch.clear();

    if (asyncDispatchRequested.exchange(false, std::memory_order_acq_rel))
        ran += AsyncCallback::dispatchPendingAsyncCallbacks();

    ran += runDueTimers();
    ran += runDescriptors(0);
    pumping = false;
    return ran;
}

void MessageLoop::run()
{
    while (!quitRequested.load(std::memory_order_acquire)) {
        pump();
        if (quitRequested.load(std::memory_order_acquire))
            break;
        bool workQueued = asyncDispatchRequested.load(std::memory_order_acquire);
        {
            const std::lock_guard<std::mutex> hold(queueLock);
            workQueued = workQueued || !queue.empty();
        }
        if (workQueued)
            continue;
        const double toTimer = getMillisecondsToNextTimer();
        const int timeoutMs = toTimer < 0 ? -1 : static_cast<int>(std::ceil(toTimer));
        // Wait only; the handlers run in the next pump, in their place after posts and timers.
        watched.clear();
        for (const Descriptor& d : descriptors)
            watched.push_back(d.fd);
        waiter->wait(timeoutMs, watched, readable);
    }
    quitRequested.store(false, std::memory_order_release);
}

void MessageLoop::quit() noexcept
{
    quitRequested.store(true, std::memory_order_release);
    waiter->wake();
}

void MessageLoop::addDescriptor(int fd, std::function<void()> onReadable, bool everyPump)
{
    for (Descriptor& d : descriptors) {
        if (d.fd == fd) {
            d.onReadable = std::move(onReadable);
            d.everyPump = everyPump;
            return;
        }
    }
    descriptors.push_back({fd, std::move(onReadable), everyPump});
}

void MessageLoop::removeDescriptor(int fd)
{
    descriptors.erase(std::remove_if(descriptors.begin(), descriptors.end(), [fd](const Descriptor& d) { return d.fd == fd; }),
                      descriptors.end());
}

int MessageLoop::getWakeDescriptor() const noexcept { return waiter->getWakeDescriptor(); }

void MessageLoop::attachToCurrentThread() noexcept
{
    loopThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
}

bool MessageLoop::isLoopThread() const noexcept
{
    return loopThread.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

double MessageLoop::getMillisecondsToNextTimer() const noexcept
{
    if (timers.empty())
        return -1.0;
    double earliest = timers.front()->nextDueMilliseconds;
    for (const Timer* t : timers)
        earliest = std::min(earliest, t->nextDueMilliseconds);
    return std::max(0.0, earliest - clock.nowMilliseconds());
}

void MessageLoop::addTimer(Timer& timer)
{
    removeTimer(timer);
    timer.sequence = nextTimerSequence++;
    timer.nextDueMilliseconds = clock.nowMilliseconds() + std::max<uint32_t>(timer.interval, 1);
    timers.push_back(&timer);
}

void MessageLoop::removeTimer(Timer& timer) noexcept
{
    timers.erase(std::remove(timers.begin(), timers.end(), &timer), timers.end());
}

int MessageLoop::runDueTimers()
{
    const double now = clock.nowMilliseconds();
    // Copied out, because a callback may stop, restart or delete any timer: each one is looked up again
    // (by address and start sequence) before it runs.
    dueTimers.clear();
    for (Timer* t : timers)
        if (t->nextDueMilliseconds <= now)
            dueTimers.emplace_back(t, t->sequence);
    std::sort(dueTimers.begin(), dueTimers.end(), [](const auto& a, const auto& b) {
        return a.first->nextDueMilliseconds != b.first->nextDueMilliseconds
                   ? a.first->nextDueMilliseconds < b.first->nextDueMilliseconds
                   : a.second < b.second;
    });
    int ran = 0;
    for (size_t i = 0; i < dueTimers.size(); ++i) {
        Timer* const timer = dueTimers[i].first;
        const auto it = std::find(timers.begin(), timers.end(), timer);
        if (it == timers.end() || timer->sequence != dueTimers[i].second || timer->nextDueMilliseconds > now)
            continue;
        // Keep the phase when on time; a late pump skips the periods it missed.
        const double period = std::max<uint32_t>(timer->interval, 1);
        timer->nextDueMilliseconds += period;
        if (timer->nextDueMilliseconds <= now)
            timer->nextDueMilliseconds = now + period;
        timer->timerCallback();
        ++ran;
    }
    return ran;
}

int MessageLoop::runDescriptors(int timeoutMs)
{
    if (descriptors.empty())
        return 0;
    watched.clear();
    for (const Descriptor& d : descriptors)
        watched.push_back(d.fd);
    waiter->wait(timeoutMs, watched, readable);
    int ran = 0;
    // Chosen before any handler runs: a handler may add or remove descriptors.
    std::vector<int> toRun;
    for (const Descriptor& d : descriptors)
        if (d.everyPump || std::find(readable.begin(), readable.end(), d.fd) != readable.end())
            toRun.push_back(d.fd);
    for (int fd : toRun) {
        const auto it = std::find_if(descriptors.begin(), descriptors.end(), [fd](const Descriptor& d) { return d.fd == fd; });
        if (it == descriptors.end())
            continue;   // removed by an earlier handler
        const std::function<void()> handler = it->onReadable;
        handler();
        ++ran;
    }
    return ran;
}

} // namespace q9framework
