#pragma once
#include <cmath>

/** Where the effect editor puts its controls, and the two mappings the artwork must agree with: the
    needle angle the editor gives a meter level, and the pointer angle the toolkit gives a knob value.
    All coordinates are pixels of the 1500 x 350 background, the panel's design grid. The artwork tool
    draws every dial mark and knob pointer from these, so the printed scales sit exactly where the
    editor's needles and strip frames land. */
namespace kelvane::artwork {

constexpr int panelWidth = 1500;
constexpr int panelHeight = 350;
/** The editor resizes when the pointer is right of this x; the artwork draws a grip there. */
constexpr int resizeStripX = 1350;

struct Box {
    int x, y, w, h;
    constexpr double centreX() const { return x + w * 0.5; }
    constexpr double centreY() const { return y + h * 0.5; }
    constexpr int right() const { return x + w; }
    constexpr int bottom() const { return y + h; }
};

constexpr Box attackKnobBox{510, 128, 127, 129};
constexpr Box driveKnobBox{645, 110, 101, 106};
constexpr Box releaseKnobBox{755, 127, 123, 131};
constexpr Box gainKnobBox{891, 110, 96, 105};
constexpr Box bypassBox{897, 228, 84, 57};
constexpr Box inputMeterBox{177, 56, 272, 131};
constexpr Box outputMeterBox{1055, 56, 272, 131};
constexpr Box driveLedBox{673, 228, 43, 40};
constexpr Box attackTimeBox{519, 260, 110, 34};
constexpr Box releaseTimeBox{767, 261, 107, 31};

constexpr int knobFrames = 101;
constexpr int bypassFrames = 101;
constexpr int driveLedFrames = 101;
constexpr int selectorFrames = 3;

/** The editor's meter mapping: linear peak level to needle position 0..1, in single precision. */
inline float meterPosition(float level)
{
    constexpr float levels[] = {1.412f, 1.0f, 0.707f, 0.5f, 0.25f, 0.1f};
    constexpr float positions[] = {1.0f, 0.66f, 0.39f, 0.22f, 0.07f, 0.0f};
    if (level >= levels[0])
        return 1.0f;
    for (int i = 1; i < 6; ++i)
        if (levels[i] < level)
            return (positions[i - 1] - positions[i]) * (level - levels[i]) / (levels[i - 1] - levels[i]) + positions[i];
    return 0.0f;
}

/** Needle angle in radians, 0 upright, positive leaning right. */
inline float needleAngle(float position) { return position * 1.82f - 0.91f; }

/** The needle as the editor draws it at design size: it turns about a pivot 20 units below the
    meter's bottom centre, and its length grows with the angle so the tip runs on a flattened arc. */
struct NeedleGeometry {
    double pivotX, pivotY;
    double length(double angle) const { return 29.0 * angle * angle + baseLength; }
    double baseLength;
};
inline NeedleGeometry needleGeometry(const Box& meter)
{
    // At design size the needle texture is 12 units wide and centred with truncated halves.
    const int needleWidth = 12;
    const int left = meter.x + (meter.w / 2 - needleWidth / 2);
    return {left + needleWidth / 2.0, static_cast<double>(meter.y + meter.h + 20), static_cast<double>(meter.h - 26)};
}

/** The toolkit's knob pointer angle for a value 0..1, counter-clockwise from the positive x axis with
    y pointing up: 225 degrees at 0, straight up at 0.5, -45 degrees at 1 (a clockwise 270 degree sweep). */
inline double knobAngle(double value) { return (value * -270.0 + 585.0) / 180.0 * 3.1415; }

} // namespace kelvane::artwork
