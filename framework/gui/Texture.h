#pragma once
#include "framework/core/Geometry.h"
#include "framework/resources/Image.h"

#include <cstdint>

namespace q9framework {

class RenderingContext;

/** A picture on the GPU, made by a RenderingContext and owned by whoever asked for it; it must be
    destroyed before its context. Pixels arrive from Images (premultiplied blue-green-red-alpha words),
    rectangle by rectangle. Main thread only. */
class Texture {
public:
    Texture(RenderingContext* owner, int32_t widthPixels, int32_t heightPixels, int32_t pixelFormat) noexcept
        : context(owner), width(widthPixels), height(heightPixels), format(pixelFormat)
    {
    }
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    virtual ~Texture() = default;

    /** Every pixel becomes transparent black, on the GPU too. */
    virtual void clear() = 0;
    /** Copies each rectangle, clipped to the smaller of image and texture, from the image to the same
        place in the texture. With unpremultiply, colour bytes are divided by alpha on the way (an alpha of
        0 saturates them at 255). */
    virtual void upload(const Image& image, const Rectangle* rectangles, int count, bool unpremultiply) = 0;
    /** One textured quad: source = x, y, width, height in texture pixels; corners = 4 (x, y) pairs,
        top-left, top-right, bottom-right, bottom-left on screen; alpha 0..1. */
    virtual void draw(const double source[4], const double corners[8], float alpha) = 0;
    /** 0 here; the GPU's name for it in a real texture. */
    virtual uint32_t getNativeHandle() const { return 0; }
    virtual void releaseHook() {}
    /** False once the texture lost its GPU side (its context went first, or creation failed). */
    virtual bool isValid() const { return context != nullptr; }

    /** The whole texture as a quad of (width × scale, height × scale) centred on the texture's own centre,
        moved by (x, y) and rotated by angle radians (clockwise on screen, y grows downwards). */
    void drawScaled(double x, double y, double scale, double alpha, double angle);

    RenderingContext* getContext() const noexcept { return context; }
    int32_t getWidth() const noexcept { return width; }
    int32_t getHeight() const noexcept { return height; }
    int32_t getFormat() const noexcept { return format; }

protected:
    RenderingContext* context;
    int32_t width, height;
    int32_t format;
};

} // namespace q9framework
