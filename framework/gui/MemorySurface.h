#pragma once
#include "framework/gui/Surface.h"
#include "framework/resources/Image.h"

namespace q9framework {

/** Pixels in memory and nothing else: presenting and copying do nothing. Every drawable pixel has 16
    pixels of zeroed, valid memory on each side, so painting code may read a little beyond the edges.
    Used off screen (a scaled window paints its content here first) and where there is no GPU. */
class MemorySurface : public Surface {
public:
    /** A size below 1 x 1 gives a surface without pixels (lockPixels returns null). */
    MemorySurface(int32_t width, int32_t height);

    uint8_t* lockPixels(int32_t& strideBytes) override;
    void presentRects(const Rectangle*, int, void*, int) override {}
    void copyArea(Rectangle, Point) override {}
    int32_t getWidth() const override { return image.getWidth(); }
    int32_t getHeight() const override { return image.getHeight(); }

    /** The pixels as an image (shared, not copied). */
    const Image& getImage() const noexcept { return image; }

private:
    Image image;
};

} // namespace q9framework
