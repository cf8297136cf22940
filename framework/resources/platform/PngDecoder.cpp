// PNG through libpng's simplified API: it expands palettes and grey, strips 16-bit samples to 8 and
// converts to sRGB, and reports errors through its return values rather than longjmp, so no C++ object
// is ever jumped over. libpng delivers straight alpha; we premultiply afterwards. No colour management
// beyond libpng's own gamma handling: our artwork is sRGB, as the Mac's generic RGB space treats it.
#include "framework/resources/platform/ImageDecoders.h"

#include <png.h>

#include <cstring>

namespace q9framework::platform {

void premultiplyRounded(Image& image) noexcept
{
    for (int32_t y = 0; y < image.getHeight(); ++y) {
        uint8_t* p = image.getLinePointer(y);
        for (int32_t x = 0; x < image.getWidth(); ++x, p += 4) {
            const unsigned alpha = p[3];
            if (alpha == 255)
                continue;
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<uint8_t>((p[k] * alpha + 127) / 255);
        }
    }
}

Image decodePng(const uint8_t* bytes, size_t size)
{
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, bytes, size) == 0)
        return Image();
    png.format = PNG_FORMAT_BGRA;
    if (png.width < 1 || png.height < 1 || png.width > 0x7FFF || png.height > 0x7FFF
        || uint64_t{png.width} * png.height > maxDecodedPixels) {
        png_image_free(&png);
        return Image();
    }
    Image image(static_cast<int32_t>(png.width), static_cast<int32_t>(png.height), false);
    if (image.isNull()) {
        png_image_free(&png);
        return Image();
    }
    // libpng writes straight into the image's rows: its stride is counted in components (bytes here).
    if (png_image_finish_read(&png, nullptr, image.getPixels(), image.getStride(), nullptr) == 0) {
        png_image_free(&png);
        return Image();
    }
    premultiplyRounded(image);
    return image;
}

} // namespace q9framework::platform
