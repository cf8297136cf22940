#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

namespace q9framework {

/** A thin thread wrapper: run() executes on a new thread between startThread and its return;
    stopThread asks it to finish (threadShouldExit turns true) and waits until it has.
    Start, stop and destroy from one controlling thread; threadShouldExit and isThreadRunning from any.
    The destructor stops a running thread, but a derived class must stop it in its own destructor,
    because run() may still be using the derived part. */
class Thread {
public:
    Thread() noexcept = default;
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    /** Called on the new thread. Should return soon after threadShouldExit() turns true. */
    virtual void run() = 0;

    /** Starts run() on a new thread, if not running; priority 0..10 (clamped). Returns false when
        the system refuses the thread. */
    bool startThread(int priority = 5);
    /** Asks run() to finish, then polls every millisecond until it has, and joins it. From run()
        itself it only asks. */
    void stopThread();
    /** Stores the priority (0..10). Linux gives normal threads no per-thread priority without
        privileges, so it is kept for getPriority only. */
    void setPriority(int priority) noexcept;
    int getPriority() const noexcept { return priority; }

    bool isThreadRunning() const noexcept { return executing.load(std::memory_order_acquire); }
    bool threadShouldExit() const noexcept { return cancelled.load(std::memory_order_acquire); }

    static void sleep(int milliseconds) noexcept;
    /** Whether the caller is the thread that pumps the main loop (MessageLoop::getMain()). */
    static bool isMainThread() noexcept;

private:
    std::thread thread;
    std::atomic<bool> executing{false};
    std::atomic<bool> cancelled{false};
    int priority = 5;
};

} // namespace q9framework
