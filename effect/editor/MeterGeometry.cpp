#include "effect/editor/MeterGeometry.h"

#include <cmath>
#include <limits>

namespace MeterGeometry {

namespace {

// Dial breakpoints, loudest first; the second column is where the printed scale puts each level.
constexpr int numBreakpoints = 6;
constexpr float breakpointLevels[numBreakpoints] = {1.412f, 1.0f, 0.707f, 0.5f, 0.25f, 0.1f};
constexpr float breakpointPositions[numBreakpoints] = {1.0f, 0.66f, 0.39f, 0.22f, 0.07f, 0.0f};

// A truncated edge as a pixel index; values beyond the int range (a degenerate scale) are pinned
// instead of being undefined.
int32_t truncatedToInt(double v) noexcept
{
    const double t = std::trunc(v);
    if (!(t >= std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (t > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(t);
}

} // namespace

float levelToPosition(float level) noexcept
{
    if (level >= breakpointLevels[0])
        return breakpointPositions[0];
    for (int i = 1; i < numBreakpoints; ++i) {
        if (breakpointLevels[i] < level) {
            const float l0 = breakpointLevels[i - 1], p0 = breakpointPositions[i - 1];
            const float l1 = breakpointLevels[i], p1 = breakpointPositions[i];
            return (p0 - p1) * (level - l1) / (l0 - l1) + p1;
        }
    }
    return 0.0f;
}

float needleAngle(float position) noexcept
{
    return position * 1.82f - 0.91f;
}

float needleLength(float angle, int32_t meterHeight) noexcept
{
    return 29.0f * angle * angle + static_cast<float>(meterHeight - 26);
}

int scaleClass(double sx) noexcept
{
    if (sx == 0.0)
        return 1;
    // Limited in double first: a tiny scale would overflow the int.
    const double k = std::trunc(1.0 / sx + 1.0);
    if (k > 8.0)
        return 8;
    if (!(k >= 1.0))
        return 1;
    return static_cast<int>(k);
}

NeedleStyle needleStyle(int k) noexcept
{
    if (k >= 4)
        return {1, 5};
    if (k >= 2)
        return {2, 6};
    return {4, 8};
}

Needle needleFor(const q9framework::Rectangle& meterBounds, float position, NeedleStyle style) noexcept
{
    Needle n;
    n.angle = needleAngle(position);
    n.length = needleLength(n.angle, meterBounds.height);
    const int thickness = style.thickness > 0 ? style.thickness : 1;
    const int32_t quadWidth = (4 / thickness) * style.textureWidth;
    const int32_t left = meterBounds.x + (meterBounds.width / 2 - quadWidth / 2);
    // The length is single precision; the top is taken in double from it, so the lower end lands
    // exactly 20 units below the meter's bottom edge.
    const double length = n.length;
    const double top = static_cast<double>(meterBounds.y + meterBounds.height + 20) - length;
    n.needle = {static_cast<double>(left), top, static_cast<double>(quadWidth), length};
    n.shadow = {static_cast<double>(left + 7), top - 1.0, static_cast<double>(quadWidth), length};
    return n;
}

Area toWindow(const Area& a, double sx, double sy) noexcept
{
    const double x = a.x * sx, y = a.y * sy;
    return {x, y, (a.x + a.width) * sx - x, (a.y + a.height) * sy - y};
}

Area toWindow(const q9framework::Rectangle& r, double sx, double sy) noexcept
{
    return toWindow(Area{static_cast<double>(r.x), static_cast<double>(r.y), static_cast<double>(r.width),
                         static_cast<double>(r.height)},
                    sx, sy);
}

q9framework::Rectangle roundedOutward(const Area& a) noexcept
{
    const int32_t left = truncatedToInt(a.x), top = truncatedToInt(a.y);
    const int32_t right = truncatedToInt(a.x + a.width + 0.99999);
    const int32_t bottom = truncatedToInt(a.y + a.height + 0.99999);
    return {left, top, right - left, bottom - top};
}

void rotatedCorners(const Area& a, double px, double py, double angle, double out[8]) noexcept
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double points[4][2] = {
        {a.x, a.y}, {a.x + a.width, a.y}, {a.x + a.width, a.y + a.height}, {a.x, a.y + a.height}};
    for (int i = 0; i < 4; ++i) {
        const double dx = points[i][0] - px, dy = points[i][1] - py;
        out[i * 2] = px + dx * c - dy * s;
        out[i * 2 + 1] = py + dx * s + dy * c;
    }
}

void corners(const Area& a, double out[8]) noexcept
{
    const double right = a.x + a.width, bottom = a.y + a.height;
    const double points[8] = {a.x, a.y, right, a.y, right, bottom, a.x, bottom};
    for (int i = 0; i < 8; ++i)
        out[i] = points[i];
}

} // namespace MeterGeometry
