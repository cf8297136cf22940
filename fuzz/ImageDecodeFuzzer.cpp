// PNG and JPEG pictures through the platform decoders behind Image::decode (the packing tool's input,
// and any picture a pack carries). Checks: a decoded image has a sane size, every pixel can be read
// (ASan sees a short buffer), and its colours are premultiplied (no colour byte above alpha).
#include "framework/resources/Image.h"
#include "fuzz/FuzzSupport.h"

using namespace q9framework;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Image image = Image::decode(data, size);
    if (image.isNull())
        return 0;
    FUZZ_CHECK(image.getWidth() > 0 && image.getHeight() > 0, "a decoded image has pixels");
    FUZZ_CHECK(image.getStride() >= image.getWidth() * Image::bytesPerPixel, "rows hold their pixels");
    for (int32_t y = 0; y < image.getHeight(); ++y) {
        const uint8_t* row = image.getLinePointer(y);
        for (int32_t x = 0; x < image.getWidth(); ++x) {
            const uint8_t* p = row + x * 4;
            FUZZ_CHECK(p[0] <= p[3] && p[1] <= p[3] && p[2] <= p[3], "colours premultiplied by alpha");
        }
    }
    return 0;
}
