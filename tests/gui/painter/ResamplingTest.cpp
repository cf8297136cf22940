// The resampler against a straightforward evaluation of the same windowed-sinc filter in double
// precision (real weights, no 16-bit truncation, the same 16/65536/8 gain and clamps).
#include "framework/gui/Painter.h"
#include "framework/gui/ResamplingKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace q9framework;

namespace {

/** Premultiplied noise with smooth areas and hard edges, some of it transparent. */
Image makePicture(int width, int height, unsigned seed)
{
    Image image(width, height, true);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.getPixelPointer(x, y);
            const uint8_t alpha = (x / 5 + y / 3) % 4 == 0 ? 0 : (x + y) % 3 == 0 ? 255 : uint8_t(random() % 256);
            for (int c = 0; c < 3; ++c)
                p[c] = alpha == 0 ? 0 : uint8_t(random() % (alpha + 1));
            p[3] = alpha;
        }
    return image;
}

struct Plane {
    int width, height;
    std::vector<double> v;   // 4 channels per pixel
    double& at(int x, int y, int c) { return v[(static_cast<size_t>(y) * width + x) * 4 + c]; }
    double get(int x, int y, int c) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0.0;   // the transparent margin
        return v[(static_cast<size_t>(y) * width + x) * 4 + c];
    }
};

/** Result byte of the fixed-point rule, evaluated with real numbers: sum(b·16·w / 65536) / 8,
    clamped to 0..255, colours no higher than alpha. */
void finish(double sums[4], double out[4])
{
    for (int c = 0; c < 4; ++c)
        out[c] = std::clamp(std::floor(sums[c] * 16.0 / 65536.0 / 8.0), 0.0, 255.0);
    for (int c = 0; c < 3; ++c)
        out[c] = std::min(out[c], out[3]);
}

Plane referencePass(const Plane& in, int outWidth, int outHeight, bool horizontal, int requestedTaps)
{
    const int inSize = horizontal ? in.width : in.height, outSize = horizontal ? outWidth : outHeight;
    const float s = static_cast<float>(inSize) / static_cast<float>(outSize);
    const int n = ResamplingKernel::tapsFor(s, requestedTaps);
    const double f = 1.0 / std::max(1.0, static_cast<double>(s));
    Plane out{outWidth, outHeight, std::vector<double>(static_cast<size_t>(outWidth) * outHeight * 4)};
    for (int y = 0; y < outHeight; ++y)
        for (int x = 0; x < outWidth; ++x) {
            const int i = horizontal ? x : y;
            const float position = static_cast<float>(i) * s;
            const int k = static_cast<int>(position);
            const double phase = position - std::floor(position);
            double sums[4] = {0, 0, 0, 0};
            for (int t = 0; t < n; ++t) {
                const double w = ResamplingKernel::weight(t, n, phase, f);
                const int sample = k - n / 2 + t;
                for (int c = 0; c < 4; ++c)
                    sums[c] += w * (horizontal ? in.get(sample, y, c) : in.get(x, sample, c));
            }
            double result[4];
            finish(sums, result);
            for (int c = 0; c < 4; ++c)
                out.at(x, y, c) = result[c];
        }
    return out;
}

Plane planeOf(const Image& image)
{
    Plane p{image.getWidth(), image.getHeight(), {}};
    p.v.resize(static_cast<size_t>(p.width) * p.height * 4);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 4; ++c)
                p.at(x, y, c) = image.getPixelPointer(x, y)[c];
    return p;
}

} // namespace

TEST(ResamplingKernelTest, KernelLengthFollowsTheScale)
{
    const struct {
        float scale;
        int requested;
        int expected;
        const char* what;
    } cases[] = {
        {2.9f, -1, 14, "trunc(11.6) + 4 = 15, lowest bit cleared"},
        {8.0f, -1, 32, "limited to 32"},
        {1.0f, 0, 8, "explicit lengths are limited too"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ResamplingKernel::tapsFor(c.scale, c.requested), c.expected);
    }
    // The centre tap of an unscaled kernel carries the whole weight, 255 × 127.
    const ResamplingKernel k = ResamplingKernel::build(10, 10, -1);
    EXPECT_EQ(k.weightsAt(3)[4], 255 * 127);
    EXPECT_EQ(k.weightsAt(3)[3], 0);
    EXPECT_EQ(k.firstSample[3], 3 - 4);
}

TEST(ResamplingTest, MatchesADoublePrecisionEvaluationOfTheFilter)
{
    const struct {
        int sourceWidth, sourceHeight, destinationWidth, destinationHeight, taps;
        const char* what;
    } cases[] = {
        {60, 30, 30, 15, -1, "half size, as the editor shows its artwork"},
        {23, 17, 41, 29, -1, "enlarging"},
        {50, 40, 17, 13, 16, "a third with an explicit kernel length"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Image source = makePicture(c.sourceWidth, c.sourceHeight, 7u + c.destinationWidth);
        Image destination(c.destinationWidth, c.destinationHeight, true);
        const Rectangle all(0, 0, c.destinationWidth, c.destinationHeight);
        const Image result = Painter::drawImageTransformed(destination, source, &all, 1, c.taps);
        ASSERT_TRUE(result == destination);

        const Plane middle =
            referencePass(planeOf(source), c.destinationWidth, c.sourceHeight, true, c.taps);
        const Plane expected = referencePass(middle, c.destinationWidth, c.destinationHeight, false, c.taps);
        int worst = 0;
        double totalError = 0.0;
        for (int y = 0; y < c.destinationHeight; ++y)
            for (int x = 0; x < c.destinationWidth; ++x) {
                const uint8_t* p = result.getPixelPointer(x, y);
                for (int ch = 0; ch < 4; ++ch) {
                    const int error = std::abs(p[ch] - static_cast<int>(expected.get(x, y, ch)));
                    worst = std::max(worst, error);
                    totalError += error;
                }
                ASSERT_LE(p[0], p[3]);
                ASSERT_LE(p[1], p[3]);
                ASSERT_LE(p[2], p[3]);
            }
        // Truncated weights and per-term floors lose a little in each pass; nothing more.
        EXPECT_LE(worst, 3);
        EXPECT_LT(totalError / (c.destinationWidth * c.destinationHeight * 4), 1.25);
    }
}
