// The run loop's wake-up and wait on Linux: one eventfd, raised by any thread that posts, and poll()
// over it and the descriptors the loop watches (the X11 connection). Level-triggered and
// non-blocking, so a wake-up raised while the loop is busy is seen by the next wait. No epoll: the
// loop watches one or two descriptors.
#include "framework/core/Waiter.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace q9framework {

namespace {

class EventFdWaiter : public Waiter {
public:
    EventFdWaiter() noexcept : fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~EventFdWaiter() override
    {
        if (fd >= 0)
            close(fd);
    }

    void wake() noexcept override
    {
        const uint64_t one = 1;
        if (fd >= 0)
            (void) !write(fd, &one, sizeof(one));
    }

    void drain() noexcept override
    {
        uint64_t count = 0;
        if (fd >= 0)
            (void) !read(fd, &count, sizeof(count));
    }

    void wait(int timeoutMs, const std::vector<int>& fds, std::vector<int>& readable) override
    {
        readable.clear();
        polled.clear();
        if (fd >= 0)
            polled.push_back({fd, POLLIN, 0});
        for (int watched : fds)
            polled.push_back({watched, POLLIN, 0});
        // Without an eventfd a wait must not block for long, or posts would sit until the timeout.
        if (fd < 0 && (timeoutMs < 0 || timeoutMs > 10))
            timeoutMs = 10;
        if (poll(polled.data(), polled.size(), timeoutMs) <= 0)
            return;
        for (const pollfd& p : polled)
            if (p.fd != fd && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0)
                readable.push_back(p.fd);
    }

    int getWakeDescriptor() const noexcept override { return fd; }

private:
    const int fd;
    std::vector<pollfd> polled;
};

} // namespace

std::unique_ptr<Waiter> Waiter::create() { return std::make_unique<EventFdWaiter>(); }

} // namespace q9framework
