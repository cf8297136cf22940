#pragma once
#include "framework/core/Geometry.h"

#include <cstdint>

/** The arithmetic behind the panel's needle meters and drive indicator, kept apart from the components so
    it can be checked number for number. Everything here is pure: no component, no context, no state.

    Units: "panel" coordinates are the pixel grid of the panel's background artwork (its design size);
    "window" coordinates are the pixels of the window that shows the panel scaled, whose top-left corner
    the panel's top-left corner maps to. The scale factors sx, sy are window pixels per panel pixel. */
namespace MeterGeometry {

/** A rectangle with fractional edges: a needle or an indicator on its way to the GPU. */
struct Area {
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;
};

/** How the needle texture is cut for one scale class: a line `thickness` texels wide in the middle of a
    texture `textureWidth` texels wide. */
struct NeedleStyle {
    int thickness = 1;
    int textureWidth = 8;
};

/** A needle ready to draw, in panel coordinates: the needle quad, its faint shadow copy (7 right, 1 up)
    and the angle both are turned by about the needle's bottom centre. */
struct Needle {
    float angle = 0.0f;
    float length = 0.0f;
    Area needle;
    Area shadow;
};

/** Needle position 0..1 for a linear peak level, by the dial's breakpoints
    (1.412 -> 1.0, 1.0 -> 0.66, 0.707 -> 0.39, 0.5 -> 0.22, 0.25 -> 0.07, 0.1 -> 0.0), linear in
    between, in single precision. At or above 1.412 the needle pins at 1.0; at or below 0.1 (also
    negative levels and NaN) it rests at 0.0. */
float levelToPosition(float level) noexcept;

/** position × 1.82 − 0.91 radians: −0.91 at rest (leaning left), 0 upright at 0.5, +0.91 pinned. */
float needleAngle(float position) noexcept;

/** 29 × angle² + (meterHeight − 26), single precision. Growing with the angle, the tip runs on a flatter
    arc than a circle, as on the dial's printed scale. */
float needleLength(float angle, int32_t meterHeight) noexcept;

/** The scale class k for a panel shown at sx window pixels per panel pixel: 1 for sx = 0, otherwise
    trunc(1 / sx + 1) limited to 1..8 (design size gives 2, half size 3, a quarter 5). */
int scaleClass(double sx) noexcept;

/** k >= 4: 1 and 5; k = 2 or 3: 2 and 6; otherwise (k = 1): 4 and 8. The needle texture is built at
    roughly the size it covers on screen, so it stays one to four device pixels wide at every scale. */
NeedleStyle needleStyle(int k) noexcept;

/** The needle for a meter with these bounds (panel coordinates) at this position. Its lower end always
    lies 20 units below the meter's bottom edge; its quad is (4 / thickness) × textureWidth units wide
    (integer division) and centred with both halves truncated. */
Needle needleFor(const q9framework::Rectangle& meterBounds, float position, NeedleStyle style) noexcept;

/** Panel to window: (x·sx, y·sy, (x + w)·sx − x·sx, (y + h)·sy − y·sy), so adjacent areas stay adjacent. */
Area toWindow(const Area& panelArea, double sx, double sy) noexcept;
Area toWindow(const q9framework::Rectangle& panelArea, double sx, double sy) noexcept;

/** The whole pixels touched by an area: left and top truncated, right and bottom as trunc(edge + 0.99999). */
q9framework::Rectangle roundedOutward(const Area& area) noexcept;

/** The area's corners, top-left, top-right, bottom-right, bottom-left, as (x, y) pairs, each turned by
    `angle` radians about (pivotX, pivotY); y grows downwards, so a positive angle turns clockwise on
    screen. This is the corner order Texture::draw expects. */
void rotatedCorners(const Area& area, double pivotX, double pivotY, double angle, double corners[8]) noexcept;

/** The same corners without rotation. */
void corners(const Area& area, double corners[8]) noexcept;

} // namespace MeterGeometry
