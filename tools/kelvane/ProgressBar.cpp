#include "tools/kelvane/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace kelvane {

namespace {
constexpr auto showAfter = std::chrono::seconds(1);
constexpr auto redrawEvery = std::chrono::milliseconds(100);
constexpr int barWidth = 40;
} // namespace

ProgressBar::ProgressBar(std::FILE* s)
    : stream(s), isTerminal(s != nullptr && isatty(fileno(s)) != 0), started(Clock::now()), lastDrawn(started)
{
}

ProgressBar::~ProgressBar()
{
    if (shown && !finished)
        std::fputc('\n', stream);
}

void ProgressBar::update(double fraction)
{
    if (!isTerminal || finished)
        return;
    const auto now = Clock::now();
    if (now - started < showAfter || (shown && now - lastDrawn < redrawEvery))
        return;
    lastDrawn = now;
    draw(fraction);
}

void ProgressBar::finish()
{
    if (shown && !finished) {
        draw(1.0);
        std::fputc('\n', stream);
        std::fflush(stream);
    }
    finished = true;
}

void ProgressBar::draw(double fraction)
{
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int filled = static_cast<int>(fraction * barWidth + 0.5);
    const std::string bar = std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(barWidth - filled), '-');
    // Carriage return without a newline: the bar redraws itself in place.
    std::fprintf(stream, "\rrendering [%s] %3d%%", bar.c_str(), static_cast<int>(fraction * 100.0 + 0.5));
    std::fflush(stream);
    shown = true;
}

} // namespace kelvane
