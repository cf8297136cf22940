#pragma once
#include "framework/core/Clock.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace q9framework {

class Timer;
class Waiter;

/** The main thread's run loop: timers, callbacks posted from any thread, the asynchronous-callback
    dispatch, and readable file descriptors (the X11 connection). A plug-in gets no run loop from its
    host on Linux, so the toolkit keeps this one and has it pumped:
    - by the editor on every effEditIdle (hosts send it about every 50 ms while an editor is open),
    - by run() in our own programs,
    - by tests, with a ManualClock, by hand.

    Bound to the thread that pumps it: callbacks, timers and descriptor handlers run there. Hosts decide
    which thread that is (some idle editors from a thread of their own), so nothing assumes it is the
    thread that created the plug-in. isLoopThread() tells whether the caller is that thread.

    Order within one pump: posted callbacks in posting order (so, per poster, in posting order), then
    the asynchronous callbacks, then due timers (earliest due first, ties in the order they were
    started), then descriptor handlers. Work posted while a pump runs waits for the next pump. A timer
    that is late runs once, not once per missed period. A pump entered from inside a callback (a host
    call that idles again) runs nothing.

    Lifetime: timers must stop before their loop goes; callbacks still queued when it goes are
    destroyed without running. Nothing here throws; post() allocates the queue node. */
class MessageLoop {
public:
    explicit MessageLoop(Clock& clock);
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    /** The process-wide loop the toolkit uses (timers, async callbacks and messages by default):
        the one installed with setMain, else one on the system clock made on first use. */
    static MessageLoop& getMain();
    /** Installs `loop` as the main loop (null goes back to the default one); returns the previous
        installed loop. For tests and programs that own their loop; call it before any timer starts. */
    static MessageLoop* setMain(MessageLoop* loop) noexcept;

    /** Any thread except the audio thread (the queue node is allocated here). */
    void post(std::function<void()> callback);
    /** Any thread, the audio thread included: no allocation, no lock. Asks the next pump to run
        AsyncCallback::dispatchPendingAsyncCallbacks. */
    void requestAsyncDispatch() noexcept;

    /** Loop thread. Runs what is due by clock.nowMilliseconds(); returns how many callbacks, timers and
        handlers ran. Nested calls run nothing and return 0. */
    int pump();
    /** Pumps until quit(), sleeping until the next timer is due, a post arrives or a watched
        descriptor becomes readable. For our own programs. */
    void run();
    /** Any thread: makes run() return after its current pump. */
    void quit() noexcept;

    /** Loop thread. Calls `onReadable` from pumps while `fd` has input (the X11 connection), or on
        every pump when `everyPump` is set: Xlib reads events into its own queue while doing other
        work (a GL swap, a sync), and those never make the descriptor readable again.
        One handler per descriptor: adding again replaces it. */
    void addDescriptor(int fd, std::function<void()> onReadable, bool everyPump = false);
    void removeDescriptor(int fd);
    /** A descriptor that becomes readable when work is posted, for hosts that can watch one (-1 if
        none). */
    int getWakeDescriptor() const noexcept;

    /** Makes the calling thread the loop's thread before it pumps (a plug-in editor opened from a host
        thread other than the one that created the instance builds its windows and timers here). */
    void attachToCurrentThread() noexcept;
    /** Whether the calling thread is the one that pumps this loop (the last one that did; before any
        pump, the thread that made the loop). */
    bool isLoopThread() const noexcept;
    Clock& getClock() const noexcept { return clock; }
    /** Milliseconds until the earliest timer is due (0 when one is due now), or -1 without timers. */
    double getMillisecondsToNextTimer() const noexcept;

private:
    friend class Timer;
    void addTimer(Timer& timer);
    void removeTimer(Timer& timer) noexcept;
    int runDueTimers();
    int runDescriptors(int timeoutMs);

    Clock& clock;
    std::unique_ptr<Waiter> waiter;
    std::atomic<std::thread::id> loopThread;

    std::mutex queueLock;                          // guards `queue` only, never held while running work
    std::deque<std::function<void()>> queue;
    std::atomic<bool> asyncDispatchRequested{false};
    std::atomic<bool> quitRequested{false};
    bool pumping = false;

    std::vector<Timer*> timers;                    // loop thread only
    std::vector<std::pair<Timer*, uint64_t>> dueTimers;   // scratch of runDueTimers: timer, start sequence
    uint64_t nextTimerSequence = 0;

    struct Descriptor {
        int fd;
        std::function<void()> onReadable;
        bool everyPump;
    };
    std::vector<Descriptor> descriptors;           // loop thread only
    std::vector<int> watched, readable;            // scratch of runDescriptors
};

} // namespace q9framework
