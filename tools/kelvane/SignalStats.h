#pragma once

#include <cstddef>
#include <string>

namespace kelvane {

/** Level statistics of one channel, as a mixing engineer reads them: sample peak, RMS and their
    ratio, the crest factor, which rises when transients are sharpened and falls when they are
    softened or the sustain is raised. */
struct ChannelStats {
    double peak = 0.0;                       // largest absolute sample value, linear
    double rms = 0.0;                        // root mean square, linear

    double peakDb() const;                   // dBFS; -inf for silence
    double rmsDb() const;
    double crestDb() const;                  // peak over RMS in dB; 0 for silence (no transient at all)
};

/** Statistics of `numSamples` samples; an empty or null range gives all zeros. */
ChannelStats measureChannel(const float* samples, size_t numSamples);

/** "-3.21" style text of a dB value with two decimals, "-inf" for silence. */
std::string formatDb(double db);

} // namespace kelvane
