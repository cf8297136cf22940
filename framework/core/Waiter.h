#pragma once
#include <memory>
#include <vector>

namespace q9framework {

/** The run loop's view of the operating system: a wake-up any thread may raise, and a wait for that
    wake-up, a timeout or readable file descriptors (the X11 connection). One per MessageLoop.
    wake() is safe on any thread and makes no allocation; the rest belongs to the loop's thread. */
class Waiter {
public:
    virtual ~Waiter() = default;
    /** Makes the next (or the current) wait return. */
    virtual void wake() noexcept = 0;
    /** Forgets raised wake-ups. */
    virtual void drain() noexcept = 0;
    /** Waits up to timeoutMs (0: just looks; negative: no limit) for a wake-up or for one of `fds` to
        become readable; fills `readable` with those that are. */
    virtual void wait(int timeoutMs, const std::vector<int>& fds, std::vector<int>& readable) = 0;
    /** The descriptor that becomes readable on wake(), for hosts that want to watch it; -1 if none. */
    virtual int getWakeDescriptor() const noexcept = 0;

    /** Defined in linux/EventFdWaiter.cpp. Never null: without an eventfd it still waits on the fds
        and on timeouts, and wakes by polling. */
    static std::unique_ptr<Waiter> create();
};

} // namespace q9framework
