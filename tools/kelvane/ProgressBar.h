#pragma once

#include <chrono>
#include <cstdio>

namespace kelvane {

/** A one-line progress bar for long renders. It stays silent unless its stream is a terminal and
    the work has already taken a second, so short renders and redirected output are never cluttered.
    Redraws at most ten times a second. Not thread-safe: call it from the rendering thread. */
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* stream);
    ~ProgressBar();                          // finishes the line if anything was drawn

    /** fraction in 0..1 (clamped). */
    void update(double fraction);
    /** Draws 100 % (when the bar is shown) and ends the line. */
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* stream;
    bool isTerminal;
    bool shown = false;
    bool finished = false;
    Clock::time_point started;
    Clock::time_point lastDrawn;

    void draw(double fraction);
};

} // namespace kelvane
