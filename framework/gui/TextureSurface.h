#pragma once
#include "framework/gui/Surface.h"
#include "framework/gui/Texture.h"
#include "framework/resources/Image.h"

#include <memory>

namespace q9framework {

/** Pixels in an image of the surface size, presented by uploading the changed rectangles into a
    texture of the same size and drawing that texture as one quad. Made by createSurface; the context
    must outlive it. */
class TextureSurface : public Surface {
public:
    /** Takes the texture made for it (null: presenting does nothing). */
    TextureSurface(RenderingContext& context, std::unique_ptr<Texture> texture, int32_t width, int32_t height);

    uint8_t* lockPixels(int32_t& strideBytes) override;
    void presentRects(const Rectangle* rectangles, int count, void* view, int frameArgument) override;
    void copyArea(Rectangle source, Point destination) override;
    void drawToScreen() override;
    int32_t getWidth() const override { return image.getWidth(); }
    int32_t getHeight() const override { return image.getHeight(); }

    const Image& getImage() const noexcept { return image; }
    Texture* getTexture() const noexcept { return texture.get(); }
    RenderingContext& getContext() const noexcept { return context; }

protected:
    RenderingContext& context;
    Image image;
    std::unique_ptr<Texture> texture;
};

} // namespace q9framework
