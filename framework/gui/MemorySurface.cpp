#include "framework/gui/MemorySurface.h"
#include "framework/gui/RenderingContext.h"

namespace q9framework {

// An image with a 16-pixel margin is exactly the layout wanted: (width + 32) x (height + 32) zeroed
// pixels, the visible area starting 16 rows down and 16 pixels in, stride (width + 32) x 4.
MemorySurface::MemorySurface(int32_t width, int32_t height) : image(width, height, true, 16) {}

uint8_t* MemorySurface::lockPixels(int32_t& strideBytes)
{
    strideBytes = image.getStride();
    return image.isNull() ? nullptr : image.getPixels();
}

std::unique_ptr<Surface> createSurface(RenderingContext* context, int kind, int32_t width, int32_t height)
{
    switch (kind) {
    case surfaceMemory:
    case surfaceQuartz:
        return std::make_unique<MemorySurface>(width, height);
    case surfaceOpenGL:
    case surfaceOpenGLOnly:
        return context != nullptr ? context->createWindowSurface(width, height) : nullptr;
    default:
        return nullptr;
    }
}

} // namespace q9framework
