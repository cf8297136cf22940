#pragma once
#include "framework/resources/Image.h"

#include <cstddef>
#include <cstdint>

namespace q9framework::platform {

/** The platform's picture decoders, behind Image::decode. Each returns an image of the picture's size
    with the default margin, rows top to bottom, bytes blue, green, red, alpha with the colours
    premultiplied by alpha (rounded, colour * alpha / 255) - the layout the Mac's bitmap context gives
    after the decoder's (3, 2, 1, 0) swizzle. Any failure (corrupt or truncated data, unsupported
    variant, allocation) gives a null image; nothing is printed. Any thread. */
Image decodePng(const uint8_t* bytes, size_t size);
Image decodeJpeg(const uint8_t* bytes, size_t size);

/** The most pixels a decoded picture may have: 2^24 (64 MB of pixels, ten times the largest artwork).
    Each side is also limited to 32767. A few hundred bytes of JPEG can claim 32767 x 32767 pixels;
    decoding that would take four gigabytes and minutes, for a picture that cannot be artwork. */
constexpr uint64_t maxDecodedPixels = uint64_t{1} << 24;

/** Premultiplies straight blue-green-red-alpha pixels in place, rounding to nearest. */
void premultiplyRounded(Image& image) noexcept;

} // namespace q9framework::platform
