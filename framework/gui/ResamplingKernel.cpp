#include "framework/gui/ResamplingKernel.h"

#include <algorithm>
#include <cmath>

namespace q9framework {

int ResamplingKernel::tapsFor(float scale, int requestedTaps) noexcept
{
    const int n = requestedTaps >= 0 ? requestedTaps : ((static_cast<int>(4.0f * scale) + 4) & ~1);
    return std::clamp(n, 8, 32);
}

double ResamplingKernel::weight(int tap, int taps, double phase, double cutoff) noexcept
{
    const double pi = 3.14159265358979323846;
    const double t = tap - phase;
    if (t < 0.0)
        return 0.0;
    const double hann = 0.5 - 0.5 * std::cos(2.0 * pi * t / taps);
    const double a = pi * cutoff * (tap - taps / 2 - phase);
    const double sinc = a == 0.0 ? 1.0 : std::sin(a) / a;
    return hann * hann * sinc * cutoff * 255.0 * 127.0;
}

ResamplingKernel ResamplingKernel::build(int sourceSize, int destinationSize, int requestedTaps)
{
    ResamplingKernel k;
    k.scale = static_cast<float>(sourceSize) / static_cast<float>(destinationSize);
    k.taps = tapsFor(k.scale, requestedTaps);
    const double cutoff = 1.0 / std::max(1.0, static_cast<double>(k.scale));
    const int padded = k.paddedTaps();
    k.firstSample.resize(static_cast<size_t>(destinationSize));
    k.weights.assign(static_cast<size_t>(destinationSize) * padded, 0);
    for (int i = 0; i < destinationSize; ++i) {
        const float x = static_cast<float>(i) * k.scale;
        const double phase = static_cast<double>(x - std::floor(x));
        k.firstSample[i] = static_cast<int32_t>(x) - k.taps / 2;
        for (int t = 0; t < k.taps; ++t)
            k.weights[static_cast<size_t>(i) * padded + t] = static_cast<int16_t>(weight(t, k.taps, phase, cutoff));
    }
    return k;
}

} // namespace q9framework
