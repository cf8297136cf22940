#include "tools/kelvane/SignalStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kelvane {

namespace {
double toDb(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -std::numeric_limits<double>::infinity();
}
} // namespace

double ChannelStats::peakDb() const { return toDb(peak); }
double ChannelStats::rmsDb() const { return toDb(rms); }
double ChannelStats::crestDb() const { return rms > 0.0 ? toDb(peak / rms) : 0.0; }

ChannelStats measureChannel(const float* samples, size_t numSamples)
{
    ChannelStats stats;
    if (samples == nullptr || numSamples == 0)
        return stats;
    // Summed in double: an 8-minute file has 20 million squares, too many for a float accumulator.
    double sumOfSquares = 0.0;
    double peak = 0.0;
    for (size_t i = 0; i < numSamples; ++i) {
        const double s = samples[i];
        sumOfSquares += s * s;
        peak = std::max(peak, std::fabs(s));
    }
    stats.peak = peak;
    stats.rms = std::sqrt(sumOfSquares / static_cast<double>(numSamples));
    return stats;
}

std::string formatDb(double db)
{
    if (std::isinf(db) && db < 0)
        return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", db);
    return text;
}

} // namespace kelvane
