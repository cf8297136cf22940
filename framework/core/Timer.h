#pragma once
#include <cstdint>

namespace q9framework {

class MessageLoop;

/** A repeating timer on a run loop: timerCallback runs on the loop's thread every `interval` ms for as
    long as the loop is pumped often enough. On Linux the editor's loop is pumped by the host's idle
    calls, so a 16 ms timer fires as often as the pumping allows; a pump that comes late runs the
    callback once and the next one falls due a full interval later. Nothing fires during a drag that
    would not fire otherwise: drags are handled inside pumps, between timer runs.

    Loop thread only (start, stop, destroy). The callback may start, stop or delete this timer or any
    other. Timers must be destroyed before their loop. */
class Timer {
public:
    /** A timer of the process-wide main loop. */
    Timer();
    /** A timer of the given loop (tests: a loop on a ManualClock). */
    explicit Timer(MessageLoop& loop);
    /** Stops the timer. */
    virtual ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    virtual void timerCallback() = 0;

    /** Stores the interval (0 counts as 1 ms) and (re)starts: the first call falls due one interval
        from now. Starting a running timer restarts it; there is only ever one schedule per timer. */
    void startTimer(uint32_t intervalMilliseconds);
    /** Stops the timer; nothing if it is not running. */
    void stopTimer() noexcept;
    /** The interval last given to startTimer (kept after stopTimer). */
    uint32_t getTimerInterval() const noexcept { return interval; }
    bool isTimerRunning() const noexcept { return running; }

private:
    friend class MessageLoop;
    MessageLoop& loop;
    uint32_t interval = 0;
    bool running = false;
    double nextDueMilliseconds = 0.0;
    uint64_t sequence = 0;          // start order, which breaks ties between timers due together
};

} // namespace q9framework
