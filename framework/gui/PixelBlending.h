#pragma once
#include "framework/core/Colour.h"

#include <algorithm>
#include <cstdint>
#include <emmintrin.h>

namespace q9framework::pixels {

/** Source-over of one premultiplied blue-green-red-alpha pixel with global-alpha factor k = g + 1
    (1..256), in 8-bit fixed point with shifts. The minimum only matters for sources that break the
    premultiplied rule (a colour byte above alpha); valid input never reaches 255 + 1. */
inline void blendOver(uint8_t* d, const uint8_t* s, uint32_t k) noexcept
{
    const uint32_t a = (s[3] * k) >> 8;
    const uint32_t keep = 256 - a;
    d[0] = static_cast<uint8_t>(std::min<uint32_t>(255, ((d[0] * keep) >> 8) + ((s[0] * k) >> 8)));
    d[1] = static_cast<uint8_t>(std::min<uint32_t>(255, ((d[1] * keep) >> 8) + ((s[1] * k) >> 8)));
    d[2] = static_cast<uint8_t>(std::min<uint32_t>(255, ((d[2] * keep) >> 8) + ((s[2] * k) >> 8)));
    d[3] = static_cast<uint8_t>(std::min<uint32_t>(255, ((d[3] * keep) >> 8) + a));
}

/** blendOver for a row of `count` pixels, four at a time with SSE2 (the same integer steps in 16-bit
    lanes: (s·k) >> 8 fits, and the final pack saturates at 255 exactly as the minimum does). */
inline void blendRow(uint8_t* d, const uint8_t* s, int count, uint32_t k) noexcept
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i factor = _mm_set1_epi16(static_cast<short>(k));
    const __m128i full = _mm_set1_epi16(256);
    auto blendHalf = [&](__m128i source, __m128i destination) {
        const __m128i scaled = _mm_srli_epi16(_mm_mullo_epi16(source, factor), 8);
        __m128i alpha = _mm_shufflelo_epi16(scaled, _MM_SHUFFLE(3, 3, 3, 3));
        alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
        const __m128i kept = _mm_srli_epi16(_mm_mullo_epi16(destination, _mm_sub_epi16(full, alpha)), 8);
        return _mm_add_epi16(kept, scaled);
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
        const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
        const __m128i low = blendHalf(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero));
        const __m128i high = blendHalf(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), _mm_packus_epi16(low, high));
    }
    for (; i < count; ++i)
        blendOver(d + i * 4, s + i * 4, k);
}

/** A straight colour as the opaque source pixel that blends with g = its alpha. */
struct ColourSource {
    uint8_t bytes[4];
    uint32_t k;
    explicit ColourSource(Colour c, uint32_t alpha) noexcept
        : bytes{c.getBlue(), c.getGreen(), c.getRed(), 255}, k(alpha + 1)
    {
    }
};

/** The colour's word 0xAARRGGBB as stored (no premultiplication). */
inline uint32_t wordOf(Colour c) noexcept
{
    return c.getARGB();
}

} // namespace q9framework::pixels
