#pragma once
#include <cstdint>
#include <vector>

namespace q9framework {

/** The fixed-point windowed-sinc kernel of one axis of Painter::drawImageTransformed: for every
    destination position, the first source sample it reads and its taps' 16-bit weights.
    Kept apart from the painter so tests can check the weights themselves. */
struct ResamplingKernel {
    int taps = 0;                    // n: 8..32
    float scale = 1.0f;              // source size / destination size
    std::vector<int32_t> firstSample;  // per destination position: trunc(i·s) - n/2
    std::vector<int16_t> weights;      // taps per destination position, padded to an even count

    int paddedTaps() const noexcept { return (taps + 1) & ~1; }
    const int16_t* weightsAt(int position) const noexcept { return weights.data() + position * paddedTaps(); }

    /** n from the scale (or from requestedTaps when >= 0), limited to 8..32. */
    static int tapsFor(float scale, int requestedTaps) noexcept;
    /** One tap's weight before truncation: window × sinc × cut-off × 255 × 127. */
    static double weight(int tap, int taps, double phase, double cutoff) noexcept;
    static ResamplingKernel build(int sourceSize, int destinationSize, int requestedTaps);
};

} // namespace q9framework
