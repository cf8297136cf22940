#pragma once
#include "framework/gui/Font.h"
#include "framework/core/Colour.h"
#include "framework/core/Geometry.h"
#include "framework/resources/Image.h"
#include "framework/core/String.h"

#include <cstdint>
#include <vector>

namespace q9framework {

/** The software 2-D painter every component paints with, for one paint pass. It draws into a buffer of
    32-bit pixels it does not own (0xAARRGGBB little-endian, colours premultiplied), through an origin
    that is added to every coordinate and a clip in target pixels outside which nothing is touched.
    The clip is always kept inside the target, so no call can write outside the buffer whatever the
    caller passes; strides may be negative (bottom-up buffers).
    Coordinates are pixels; `scale` is only carried for components that want to draw finer detail on a
    high-density backing, it does not transform anything.
    Blending is source-over with premultiplied colour and a global alpha g: with k = g + 1 a source
    channel adds s·k/256 and the destination keeps d·(256 - a)/256 where a = sourceAlpha·k/256. A Colour
    (straight, not premultiplied) blends as an opaque pixel of its red, green and blue with g = its alpha.
    Main thread only; never throws. Null images and empty rectangles draw nothing. */
class Painter {
public:
    /** Text placement inside a rectangle (drawText). 0 is top-left. */
    enum Justification {
        justifyLeft = 1,
        justifyCentred = 2,              // both ways
        justifyVerticallyCentred = 4,
        justifyRight = 8,
    };

    /** No target: every drawing call does nothing until setTarget (the framework's shared painter). */
    Painter();
    /** On an image's visible pixels; the image must outlive the painter (its pixels are not retained). */
    explicit Painter(const Image& target);
    Painter(uint8_t* pixels, int32_t width, int32_t height, int32_t strideBytes);

    /** Retargets: origin (0, 0), clip = the whole target. A null buffer or a size below 1 x 1 gives no target. */
    void setTarget(uint8_t* pixels, int32_t width, int32_t height, int32_t strideBytes);
    void setTarget(const Image& target);
    uint8_t* getTargetPixels() const noexcept { return pixels; }
    int32_t getTargetWidth() const noexcept { return targetWidth; }
    int32_t getTargetHeight() const noexcept { return targetHeight; }
    int32_t getTargetStride() const noexcept { return stride; }

    void addOrigin(int32_t dx, int32_t dy) noexcept { origin = origin + Point(dx, dy); }
    Point getOrigin() const noexcept { return origin; }
    /** Replaces the clip (intersected with the target). */
    void setClip(Rectangle r, bool relativeToOrigin) noexcept;
    Rectangle getClip(bool relativeToOrigin) const noexcept;
    /** clip = clip ∩ r; returns the clip as it was (in target pixels), for setClip to restore. */
    Rectangle reduceClip(Rectangle r, bool relativeToOrigin) noexcept;
    /** Pushes origin, target and clip. */
    void saveState();
    /** Restores the last saved state and, with pop, forgets it. Nothing when none is saved. */
    void restoreState(bool pop = true) noexcept;
    void setScale(double newScale) noexcept { scale = newScale; }
    double getScale() const noexcept { return scale; }

    void setFont(const Font& f) { font = f; }
    const Font& getFont() const noexcept { return font; }
    void setFontHeight(float height) { font.setHeight(height); }
    float getFontHeight() const noexcept { return static_cast<float>(font.getHeight()); }

    /** One pixel: replaced when the colour is opaque, blended otherwise; nothing outside the clip. */
    void blendPixel(int32_t x, int32_t y, Colour colour) noexcept;
    void fillAll(Colour colour, bool blend = false) noexcept;
    /** Without blend, or with an opaque colour, pixels become the colour's word (0xAARRGGBB as given);
        with blend and alpha 0 nothing changes; otherwise each pixel is blended. */
    void fillRect(Rectangle r, Colour colour, bool blend = true) noexcept;
    /** One-pixel outline, blended. */
    void drawRect(Rectangle r, Colour colour) noexcept;
    /** A one-pixel column from top to bottom (fractional ends are partly covered). */
    void drawVerticalLine(int32_t x, Colour colour, float top, float bottom) noexcept;
    /** A one-pixel row from left to right (fractional ends are partly covered). */
    void drawHorizontalLine(int32_t y, float left, float right, Colour colour) noexcept;
    /** Anti-aliased line with round ends; coordinates address pixel corners, so (0.5, 0.5) is the centre
        of the first pixel. */
    void drawLine(float x1, float y1, float x2, float y2, Colour colour, float thickness = 1.0f) noexcept;
    /** Anti-aliased disc; nothing for radius < 1. */
    void fillCircle(Colour colour, float centreX, float centreY, float radius) noexcept;
    /** Anti-aliased rectangle with round corners (radius clamped to half the smaller side). */
    void fillRoundedRect(Rectangle r, float cornerRadius, Colour colour) noexcept;
    /** Its outline, a line of the given thickness centred on the rectangle's edge inset by half of it. */
    void drawRoundedRect(Rectangle r, float cornerRadius, Colour colour, float thickness = 1.0f) noexcept;
    /** Anti-aliased ellipse inscribed in the rectangle. */
    void fillEllipse(Rectangle r, Colour colour) noexcept;
    /** Part of a circle's outline with round ends: angles in radians, 0 pointing right and growing
        anticlockwise on screen (as a knob's pointer angle does), drawn from startAngle to endAngle. */
    void drawArc(float centreX, float centreY, float radius, float startAngle, float endAngle, Colour colour,
                 float thickness = 1.0f) noexcept;

    /** Copies (blend false: alpha ignored, pixels replaced) or blends with global alpha the source
        rectangle of the image, clipped to the image, to dst; the part outside the clip is skipped. */
    void drawImage(const Image& image, Rectangle source, Point destination, bool blend, uint8_t alpha = 255) noexcept;
    void drawImageAt(const Image& image, Point destination, bool blend, uint8_t alpha = 255) noexcept;
    /** The source rectangle resampled (windowed sinc, as drawImageTransformed) to the destination
        rectangle's size, then drawn as drawImage does. Allocates the resampled copy. */
    void drawImageScaled(const Image& image, Rectangle source, Rectangle destination, bool blend,
                         uint8_t alpha = 255);

    /** Resamples `source` to the size of `destination` inside the given rectangles of the destination
        (clipped to it), with a separable windowed sinc: per axis, scale s = source / destination size,
        n = (trunc(4s) + 4) taps rounded down to even and limited to 8..32 (taps >= 0 replaces the rule,
        limited likewise), cut-off 1 / max(1, s), squared-Hann window, 16-bit fixed-point accumulation and
        the premultiplied clamp (no colour byte above alpha). Pixels outside the rectangles are untouched.
        Returns the destination, or a null image when the source or the destination is null. A source
        with a margin below 16 is read through a copy with margin 16. Allocates the intermediate image. */
    static Image drawImageTransformed(Image destination, const Image& source, const Rectangle* rectangles,
                                      int count, int taps);

    /** Text in the current font with its top-of-capitals at `position`: every glyph sits on the same
        baseline, the pen advancing by each glyph's advance. Characters without a glyph leave a gap. */
    void drawText(const String& text, Point position, Colour colour);
    /** Text placed in the rectangle by the justification flags and clipped to it. */
    void drawText(const String& text, Rectangle area, Colour colour, int justification);
    /** Height of capital letters in the current font, pixels (for placing text). */
    int32_t getCapitalHeight() const;

private:
    struct SavedState {
        Point origin;
        uint8_t* pixels;
        int32_t width, height, stride;
        Rectangle clip;
    };

    uint8_t* pixelAt(int32_t x, int32_t y) const noexcept
    {
        return pixels + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 4;
    }
    /** Blends a colour scaled by a coverage of 0..255 into one target pixel known to be inside the clip. */
    void blendCoverage(int32_t x, int32_t y, Colour colour, uint32_t coverage) noexcept;
    void drawGlyph(const Glyph& glyph, int32_t x, int32_t y, Colour colour) noexcept;

    Point origin;
    Rectangle clip;
    double scale = 1.0;
    int32_t targetWidth = 0, targetHeight = 0;
    int32_t stride = 0;
    uint8_t* pixels = nullptr;
    std::vector<SavedState> savedStates;
    Font font;
};

} // namespace q9framework
