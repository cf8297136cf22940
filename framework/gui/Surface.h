#pragma once
#include "framework/core/Geometry.h"

#include <cstdint>
#include <memory>

namespace q9framework {

class RenderingContext;

/** Where a window's component tree paints: a buffer of premultiplied 32-bit pixels that the surface
    brings to the screen, changed rectangle by changed rectangle. Painting code must accept a negative
    stride (a bottom-up buffer). Main thread only. */
class Surface {
public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface() = default;

    /** The top-left visible pixel; strideBytes receives the distance between rows. */
    virtual uint8_t* lockPixels(int32_t& strideBytes) = 0;
    /** Brings the listed rectangles of the pixels to the screen. `view` and `frameArgument` are the
        window's, for surfaces that draw into it directly. */
    virtual void presentRects(const Rectangle* rectangles, int count, void* view, int frameArgument) = 0;
    /** Moves pixels inside the buffer (both areas inside it) and brings the destination to the screen. */
    virtual void copyArea(Rectangle source, Point destination) = 0;
    /** Draws everything presented so far into the current frame. */
    virtual void drawToScreen() {}
    /** Moves pixels on the screen only, for windows whose painting does not copy. */
    virtual void copyAreaOnScreen(void* view, Rectangle source, Point destination)
    {
        (void)view, (void)source, (void)destination;
    }

    virtual int32_t getWidth() const = 0;
    virtual int32_t getHeight() const = 0;
};

/** The surface kinds a window can ask for. */
enum SurfaceKind {
    surfaceMemory = 0,
    surfaceOpenGL = 1,
    surfaceQuartz = 2,          // has no counterpart here: a memory surface stands in
    surfaceOpenGLOnly = 3,
};

/** A surface of the kind for a window of the given size, owned by the caller: 0 and 2 a MemorySurface,
    1 and 3 the context's window surface (null without a context, or when its texture cannot be made);
    any other kind null. */
std::unique_ptr<Surface> createSurface(RenderingContext* context, int kind, int32_t width, int32_t height);

} // namespace q9framework
