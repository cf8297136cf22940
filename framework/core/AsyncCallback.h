#pragma once
#include <atomic>
#include <cstdint>

namespace q9framework {

/** Work handed to the main thread: triggerAsyncUpdate (any thread) makes handleAsyncUpdate run on the
    main loop's thread at its next pump. Every AsyncCallback is in a process-wide list from
    construction to destruction; a dispatch walks the list in construction order and, for each, runs
    handleAsyncUpdate once per pending trigger.

    Threads: construct, destroy and trigger from any thread. No lock is held while handleAsyncUpdate
    runs, so a handler may create or destroy callbacks and posters, or wait for a thread that does; a
    callback destroyed on another thread while its handler runs waits for the handler to return.
    Triggering takes no lock and allocates nothing (an atomic count and a wake-up of the loop), though
    the wake-up is a system call, so the audio thread should still leave it to the editor's tick.
    A callback destroyed with triggers pending never runs them. */
class AsyncCallback {
public:
    AsyncCallback();
    virtual ~AsyncCallback();
    AsyncCallback(const AsyncCallback&) = delete;
    AsyncCallback& operator=(const AsyncCallback&) = delete;

    virtual void handleAsyncUpdate() = 0;

    /** With `coalesce` and an update already pending, nothing; otherwise one more pending update.
        Then asks the main loop to dispatch. */
    void triggerAsyncUpdate(bool coalesce = true) noexcept;
    /** Forgets pending updates of this callback. */
    void cancelPendingUpdate() noexcept { pendingCount.store(0, std::memory_order_release); }
    bool isUpdatePending() const noexcept { return pendingCount.load(std::memory_order_acquire) > 0; }
    int32_t getPendingCount() const noexcept { return pendingCount.load(std::memory_order_acquire); }

    /** Asks the main loop to run dispatchPendingAsyncCallbacks at its next pump. Any thread. */
    static void postAsyncCallbacks() noexcept;
    /** Main thread: for each registered callback in list order, while its count is above 0, takes one
        and calls handleAsyncUpdate. Returns how many calls were made. */
    static int dispatchPendingAsyncCallbacks();

private:
    std::atomic<int32_t> pendingCount{0};
};

} // namespace q9framework
