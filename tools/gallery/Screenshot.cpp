#include "tools/gallery/Screenshot.h"

#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/linux/OpenGLContext.h"

#include <epoxy/gl.h>
#include <png.h>

#include <cstring>
#include <vector>

namespace kelvane {

using namespace q9framework;

Image readWindowPixels(ComponentsWindow& window)
{
    auto* context = static_cast<OpenGLContext*>(window.getRenderingContext());
    const Point size = window.getContentSize();
    if (context == nullptr || size.x < 1 || size.y < 1 || !context->makeCurrent())
        return Image();
    glFinish();
    // After a frame the front buffer holds what was presented (a swap leaves the back one undefined).
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // BGRA as 8-8-8-8 reversed is the toolkit's own word, 0xAARRGGBB little-endian.
    std::vector<uint32_t> rows(static_cast<size_t>(size.x) * static_cast<size_t>(size.y));
    glReadPixels(0, 0, size.x, size.y, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    Image image(size.x, size.y, false);
    for (int32_t y = 0; y < size.y; ++y) {
        // GL's rows go upwards; a visual without alpha reads back whatever it likes there.
        const uint32_t* source = rows.data() + static_cast<size_t>(size.y - 1 - y) * static_cast<size_t>(size.x);
        auto* target = reinterpret_cast<uint32_t*>(image.getLinePointer(y));
        for (int32_t x = 0; x < size.x; ++x)
            target[x] = source[x] | 0xff000000u;
    }
    return image;
}

bool writePng(const Image& image, const std::string& path)
{
    if (image.isNull())
        return false;
    const int32_t width = image.getWidth(), height = image.getHeight();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.getLinePointer(y));
        uint8_t* out = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
        for (int32_t x = 0; x < width; ++x) {
            out[3 * x + 0] = static_cast<uint8_t>(row[x] >> 16);
            out[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(row[x]);
        }
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), width * 3, nullptr);
    png_image_free(&png);
    return written != 0;
}

} // namespace kelvane
