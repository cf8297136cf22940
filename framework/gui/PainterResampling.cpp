// The windowed-sinc resampler behind Painter::drawImageTransformed and drawImageScaled: a horizontal
// pass into an intermediate image (destination width x source height), then a vertical pass into the
// destination. Both passes accumulate in 16-bit fixed point exactly as the scalar rule
// sum(floor((byte·16 · weight) / 65536)) >> 3 says; SSE2's multiply-high does one such term per lane,
// so eight channel bytes (two pixels or two taps) are processed per instruction.
#include "framework/gui/Painter.h"
#include "framework/gui/ResamplingKernel.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

// std::vector<__m128i> drops the type's alignment attribute from the template argument; the vector's
// allocator still aligns to 16 bytes on x86-64, which is all the loads below need.
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace q9framework {

namespace {

/** Colour bytes may not exceed alpha, or the result would no longer be premultiplied: each pixel's
    alpha byte is spread over its word and the bytes take the smaller value (alpha stays as it is). */
inline __m128i clampToAlpha(__m128i pixels) noexcept
{
    __m128i alpha = _mm_srli_epi32(pixels, 24);
    alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 8));
    alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
    return _mm_min_epu8(pixels, alpha);
}

inline void storeClamped(uint8_t* d, uint32_t packed) noexcept
{
    const int32_t clamped = _mm_cvtsi128_si32(clampToAlpha(_mm_cvtsi32_si128(static_cast<int32_t>(packed))));
    std::memcpy(d, &clamped, 4);
}

/** The kernel's weights as SSE vectors: for each destination position, one vector per pair of taps,
    lanes 0-3 holding the even tap's weight and lanes 4-7 the odd one's. */
std::vector<__m128i> pairedWeights(const ResamplingKernel& k)
{
    const int padded = k.paddedTaps(), positions = static_cast<int>(k.firstSample.size());
    std::vector<__m128i> v(static_cast<size_t>(positions) * (padded / 2));
    for (int i = 0; i < positions; ++i) {
        const int16_t* w = k.weightsAt(i);
        for (int t = 0; t < padded; t += 2)
            v[static_cast<size_t>(i) * (padded / 2) + t / 2] =
                _mm_set_epi16(w[t + 1], w[t + 1], w[t + 1], w[t + 1], w[t], w[t], w[t], w[t]);
    }
    return v;
}

inline __m128i sixteenTimes(__m128i eightBytes) noexcept
{
    return _mm_slli_epi16(_mm_unpacklo_epi8(eightBytes, _mm_setzero_si128()), 4);
}

/** Source row bytes times 16 as 16-bit lanes, margins included, so the horizontal taps need only a
    load, a multiply-high and an add each. `expanded` holds (width + 2 * 16 + 2) pixels of 4 lanes. */
inline void expandRow(const uint8_t* rowWithMargin, int pixels, int16_t* expanded) noexcept
{
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= pixels; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowWithMargin + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(expanded + i * 4), _mm_slli_epi16(_mm_unpacklo_epi8(four, zero), 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(expanded + i * 4 + 8),
                         _mm_slli_epi16(_mm_unpackhi_epi8(four, zero), 4));
    }
    for (; i < pixels; ++i)
        for (int c = 0; c < 4; ++c)
            expanded[i * 4 + c] = static_cast<int16_t>(rowWithMargin[i * 4 + c] * 16);
}

/** One output pixel of the horizontal pass: `pairs` pairs of taps over consecutive expanded pixels. */
inline uint32_t convolveRow(const int16_t* source, const __m128i* weights, int pairs) noexcept
{
    __m128i sum = _mm_setzero_si128();
    for (int p = 0; p < pairs; ++p) {
        const __m128i twoPixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + p * 8));
        sum = _mm_add_epi16(sum, _mm_mulhi_epi16(twoPixels, weights[p]));
    }
    sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));   // even taps + odd taps, still wrapping 16-bit
    sum = _mm_srai_epi16(sum, 3);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
}

/** One row of the vertical pass over columns [first, end): four pixels per step (two 8-lane
    accumulators), then what is left one pixel at a time. `rows` points at the first tap's row. */
inline void convolveColumns(const uint8_t* rows, ptrdiff_t stride, const __m128i* weights, int taps, uint8_t* out,
                            int count) noexcept
{
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i low = zero, high = zero;
        const uint8_t* s = rows + i * 4;
        for (int t = 0; t < taps; ++t, s += stride) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            low = _mm_add_epi16(low, _mm_mulhi_epi16(_mm_slli_epi16(_mm_unpacklo_epi8(four, zero), 4), weights[t]));
            high = _mm_add_epi16(high, _mm_mulhi_epi16(_mm_slli_epi16(_mm_unpackhi_epi8(four, zero), 4), weights[t]));
        }
        const __m128i packed = _mm_packus_epi16(_mm_srai_epi16(low, 3), _mm_srai_epi16(high, 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), clampToAlpha(packed));
    }
    for (; i < count; ++i) {
        __m128i sum = zero;
        const uint8_t* s = rows + i * 4;
        for (int t = 0; t < taps; ++t, s += stride) {
            int32_t one;
            std::memcpy(&one, s, 4);
            sum = _mm_add_epi16(sum, _mm_mulhi_epi16(sixteenTimes(_mm_cvtsi32_si128(one)), weights[t]));
        }
        storeClamped(out + i * 4, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_srai_epi16(sum, 3), zero))));
    }
}

} // namespace

Image Painter::drawImageTransformed(Image destination, const Image& source, const Rectangle* rectangles, int count,
                                    int taps)
{
    if (source.isNull() || destination.isNull())
        return {};
    const int srcW = source.getWidth(), srcH = source.getHeight();
    const int dstW = destination.getWidth(), dstH = destination.getHeight();

    // Every tap may reach 16 pixels beyond an edge; those reads must land in transparent margin.
    Image input = source;
    if (input.getMargin() < 16)
        input.setMargin(16);
    Image intermediate(dstW, srcH, true, 16);
    if (input.isNull() || intermediate.isNull())
        return destination;

    const ResamplingKernel horizontal = ResamplingKernel::build(srcW, dstW, taps);
    const ResamplingKernel vertical = ResamplingKernel::build(srcH, dstH, taps);
    const std::vector<__m128i> horizontalWeights = pairedWeights(horizontal);
    const int pairs = horizontal.paddedTaps() / 2;
    const float sy = vertical.scale;
    std::vector<int16_t> expanded(static_cast<size_t>(srcW + 33) * 4);

    for (int r = 0; r < count && rectangles != nullptr; ++r) {
        const Rectangle area = rectangles[r].getIntersection({0, 0, dstW, dstH});
        if (area.isEmpty())
            continue;

        // Rows of the intermediate image the vertical kernel will read for this area, with room to spare.
        const int firstRow = std::max(0, static_cast<int>(static_cast<float>(area.y) * sy) - 17);
        const int endRow = std::min(srcH, static_cast<int>(static_cast<float>(area.getBottom()) * sy) + 17);
        for (int row = firstRow; row < endRow; ++row) {
            // Taps reach at most 16 pixels past either edge, plus one for an odd kernel's zero tap.
            expandRow(input.getPixelPointer(-16, row), srcW + 33, expanded.data());
            uint8_t* out = intermediate.getPixelPointer(area.x, row);
            for (int i = area.x; i < area.getRight(); ++i, out += 4) {
                const int16_t* in = expanded.data() + (horizontal.firstSample[i] + 16) * 4;
                storeClamped(out, convolveRow(in, &horizontalWeights[static_cast<size_t>(i) * pairs], pairs));
            }
        }

        for (int j = area.y; j < area.getBottom(); ++j) {
            const int16_t* w = vertical.weightsAt(j);
            __m128i rowWeights[32];
            for (int t = 0; t < vertical.taps; ++t)
                rowWeights[t] = _mm_set1_epi16(w[t]);
            convolveColumns(intermediate.getPixelPointer(area.x, vertical.firstSample[j]), intermediate.getStride(),
                            rowWeights, vertical.taps, destination.getPixelPointer(area.x, j), area.width);
        }
    }
    return destination;
}

} // namespace q9framework
