#pragma once
#include "framework/gui/Texture.h"
#include "framework/core/Colour.h"
#include "framework/core/Geometry.h"
#include "framework/resources/Image.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace q9framework {

class Surface;
class Texture;

/** Pixel size of a drawable. */
struct PixelSize {
    int32_t width = 0, height = 0;
    bool operator==(PixelSize o) const noexcept { return width == o.width && height == o.height; }
};

/** The window's GPU drawing context: makes textures and draws a few primitives directly (rectangles
    with a colour per corner, lines, anti-aliased discs). Coordinates are pixels with the origin at the
    top-left of the drawable. Textures and surfaces made on a context must go before it; listeners are
    told when it goes so they can forget theirs. Main thread only (the window's redraw). */
class RenderingContext {
public:
    /** Told once, from the context's destructor: textures made on it are gone with it. */
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void renderingContextClosing(RenderingContext& context) = 0;
    };

    RenderingContext() = default;
    RenderingContext(const RenderingContext&) = delete;
    RenderingContext& operator=(const RenderingContext&) = delete;
    virtual ~RenderingContext();

    /** A new, empty texture, owned by the caller. `reserved` is not used; `format` is kept by the texture
        (only our pixel format exists). Null when the GPU refuses. */
    virtual std::unique_ptr<Texture> createTexture(int32_t width, int32_t height, int32_t reserved, int32_t format) = 0;
    /** A texture of the source rectangle clipped to the image, filled from it; null when that is empty. */
    virtual std::unique_ptr<Texture> createTextureFromImage(const Image& image, Rectangle source, int32_t format,
                                                            bool unpremultiply);
    /** A window surface drawn through this context (its texture, and whatever on-screen copies the
        context can do), owned by the caller; null when the texture cannot be made. */
    virtual std::unique_ptr<Surface> createWindowSurface(int32_t width, int32_t height) = 0;
    /** The scissor box, top-left origin. */
    virtual Rectangle getClip() = 0;
    /** An empty rectangle turns clipping off (it does not hide everything). */
    virtual void setClip(Rectangle clip) = 0;
    /** Closed outline through the corner pixels, a colour per corner (top-left, top-right, bottom-right,
        bottom-left); colours are straight (not premultiplied) and blend by their alpha. */
    virtual void drawRectOutline(Rectangle r, const Colour corners[4]) = 0;
    /** Filled quad with a colour per corner (gradients), corners ordered as drawRectOutline. */
    virtual void fillRectCorners(Rectangle r, const Colour corners[4]) = 0;
    virtual void drawLine(Point from, Point to, Colour colour) = 0;
    /** Anti-aliased disc inscribed in the rectangle. */
    virtual void fillCircle(Rectangle r, Colour colour) = 0;
    virtual void setSize(int32_t width, int32_t height) = 0;
    virtual PixelSize getSize() const = 0;
    /** The platform context object (a GLXContext for OpenGL). */
    virtual void* getNativeContext() const = 0;

    void fillRect(Rectangle r, Colour colour);
    void drawRect(Rectangle r, Colour colour);

    int32_t getMaximumTextureSize() const noexcept { return maximumTextureSize; }
    /** Duplicates are ignored. */
    void addListener(Listener* listener);
    void removeListener(Listener* listener);

protected:
    int32_t maximumTextureSize = 0;

private:
    std::vector<Listener*> listeners;
};

} // namespace q9framework
