#include "framework/gui/TextureSurface.h"

namespace q9framework {

TextureSurface::TextureSurface(RenderingContext& owner, std::unique_ptr<Texture> surfaceTexture, int32_t width,
                               int32_t height)
    : context(owner), image(width, height, true, 16), texture(std::move(surfaceTexture))
{
}

uint8_t* TextureSurface::lockPixels(int32_t& strideBytes)
{
    strideBytes = image.getStride();
    return image.isNull() ? nullptr : image.getPixels();
}

// The window paints opaque content, so its pixels go up as they are: unpremultiplying would only cost
// a division per pixel to give the same bytes.
void TextureSurface::presentRects(const Rectangle* rectangles, int count, void*, int)
{
    if (texture && count > 0)
        texture->upload(image, rectangles, count, false);
}

void TextureSurface::copyArea(Rectangle source, Point destination)
{
    const Rectangle bounds(0, 0, image.getWidth(), image.getHeight());
    const Rectangle target(destination.x, destination.y, source.width, source.height);
    // The image does not clip its moves; refuse anything that would leave it.
    if (source.isEmpty() || !bounds.contains(source) || !bounds.contains(target))
        return;
    image.moveRect(source, destination);
    if (texture)
        texture->upload(image, &target, 1, false);
}

void TextureSurface::drawToScreen()
{
    if (texture)
        texture->drawScaled(0.0, 0.0, 1.0, 1.0, 0.0);
}

} // namespace q9framework
