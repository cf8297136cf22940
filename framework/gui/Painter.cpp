#include "framework/gui/Painter.h"
#include "framework/gui/GlyphsCache.h"
#include "framework/gui/PixelBlending.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace q9framework {

using pixels::blendOver;
using pixels::ColourSource;

Painter::Painter() : font(Font::getDefaultFont()) {}

Painter::Painter(const Image& target) : Painter()
{
    setTarget(target);
}

Painter::Painter(uint8_t* targetPixels, int32_t width, int32_t height, int32_t strideBytes) : Painter()
{
    setTarget(targetPixels, width, height, strideBytes);
}

void Painter::setTarget(uint8_t* targetPixels, int32_t width, int32_t height, int32_t strideBytes)
{
    const bool usable = targetPixels != nullptr && width >= 1 && height >= 1;
    pixels = usable ? targetPixels : nullptr;
    targetWidth = usable ? width : 0;
    targetHeight = usable ? height : 0;
    stride = usable ? strideBytes : 0;
    origin = {};
    clip = {0, 0, targetWidth, targetHeight};
}

void Painter::setTarget(const Image& target)
{
    setTarget(target.isNull() ? nullptr : target.getPixels(), target.getWidth(), target.getHeight(),
              target.getStride());
}

void Painter::setClip(Rectangle r, bool relativeToOrigin) noexcept
{
    if (relativeToOrigin)
        r = r.translated(origin.x, origin.y);
    clip = r.getIntersection({0, 0, targetWidth, targetHeight});
}

Rectangle Painter::getClip(bool relativeToOrigin) const noexcept
{
    return relativeToOrigin ? clip.translated(-origin.x, -origin.y) : clip;
}

Rectangle Painter::reduceClip(Rectangle r, bool relativeToOrigin) noexcept
{
    const Rectangle previous = clip;
    if (relativeToOrigin)
        r = r.translated(origin.x, origin.y);
    clip = clip.getIntersection(r);
    return previous;
}

void Painter::saveState()
{
    savedStates.push_back({origin, pixels, targetWidth, targetHeight, stride, clip});
}

void Painter::restoreState(bool pop) noexcept
{
    if (savedStates.empty())
        return;
    const SavedState& s = savedStates.back();
    origin = s.origin;
    pixels = s.pixels;
    targetWidth = s.width;
    targetHeight = s.height;
    stride = s.stride;
    clip = s.clip;
    if (pop)
        savedStates.pop_back();
}

void Painter::blendPixel(int32_t x, int32_t y, Colour colour) noexcept
{
    x += origin.x;
    y += origin.y;
    if (!clip.contains(x, y))
        return;
    uint8_t* d = pixelAt(x, y);
    if (colour.getAlpha() == 255) {
        const uint32_t word = pixels::wordOf(colour);
        std::memcpy(d, &word, 4);
        return;
    }
    const ColourSource s(colour, colour.getAlpha());
    blendOver(d, s.bytes, s.k);
}

void Painter::fillAll(Colour colour, bool blend) noexcept
{
    fillRect(getClip(true), colour, blend);
}

void Painter::fillRect(Rectangle r, Colour colour, bool blend) noexcept
{
    const Rectangle area = r.translated(origin.x, origin.y).getIntersection(clip);
    if (area.isEmpty() || (blend && colour.getAlpha() == 0))
        return;
    if (!blend || colour.getAlpha() == 255) {
        const uint32_t word = pixels::wordOf(colour);
        for (int32_t y = area.y; y < area.getBottom(); ++y) {
            auto* row = reinterpret_cast<uint32_t*>(pixelAt(area.x, y));
            std::fill(row, row + area.width, word);
        }
        return;
    }
    // One row of the colour as source pixels, so each target row is one blendRow call.
    const ColourSource s(colour, colour.getAlpha());
    uint8_t row[64 * 4];
    for (int i = 0; i < 64; ++i)
        std::memcpy(row + i * 4, s.bytes, 4);
    for (int32_t y = area.y; y < area.getBottom(); ++y)
        for (int32_t x = 0; x < area.width; x += 64)
            pixels::blendRow(pixelAt(area.x + x, y), row, std::min(64, area.width - x), s.k);
}

void Painter::drawRect(Rectangle r, Colour colour) noexcept
{
    if (r.isEmpty())
        return;
    fillRect({r.x, r.y, 1, r.height}, colour, true);
    if (r.width > 1)
        fillRect({r.getRight() - 1, r.y, 1, r.height}, colour, true);
    if (r.width > 2) {
        fillRect({r.x + 1, r.y, r.width - 2, 1}, colour, true);
        if (r.height > 1)
            fillRect({r.x + 1, r.getBottom() - 1, r.width - 2, 1}, colour, true);
    }
}

void Painter::blendCoverage(int32_t x, int32_t y, Colour colour, uint32_t coverage) noexcept
{
    const uint32_t g = (colour.getAlpha() * coverage + 127) / 255;
    if (g == 0)
        return;
    const ColourSource s(colour, g);
    blendOver(pixelAt(x, y), s.bytes, s.k);
}

namespace {
/** Coverage 0..255 of the pixel span [p, p + 1) by the interval [from, to). */
uint32_t spanCoverage(int32_t p, float from, float to) noexcept
{
    const float covered = std::min(to, static_cast<float>(p + 1)) - std::max(from, static_cast<float>(p));
    return !(covered > 0.0f) ? 0u : static_cast<uint32_t>(std::lround(std::min(covered, 1.0f) * 255.0f));
}

/** floor(v), or ceil(v) when rounding up, limited to [low, high]: coordinates far outside the target
    (or not numbers at all) must not overflow on their way to pixel indices. */
int32_t pixelIndex(float v, int32_t low, int32_t high, bool roundUp) noexcept
{
    if (!(v > static_cast<float>(low)))
        return low;
    if (!(v < static_cast<float>(high)))
        return high;
    return static_cast<int32_t>(roundUp ? std::ceil(v) : std::floor(v));
}

/** 0..255 from a signed distance to an edge (negative inside): one pixel of soft edge. */
uint32_t edgeCoverage(float distance) noexcept
{
    const float c = 0.5f - distance;
    return !(c > 0.0f) ? 0u : c >= 1.0f ? 255u : static_cast<uint32_t>(c * 255.0f + 0.5f);
}
} // namespace

void Painter::drawVerticalLine(int32_t x, Colour colour, float top, float bottom) noexcept
{
    x += origin.x;
    top += static_cast<float>(origin.y);
    bottom += static_cast<float>(origin.y);
    if (!(top < bottom) || x < clip.x || x >= clip.getRight())
        return;
    const int32_t y0 = pixelIndex(top, clip.y, clip.getBottom(), false);
    const int32_t y1 = pixelIndex(bottom, clip.y, clip.getBottom(), true);
    for (int32_t y = y0; y < y1; ++y)
        blendCoverage(x, y, colour, spanCoverage(y, top, bottom));
}

void Painter::drawHorizontalLine(int32_t y, float left, float right, Colour colour) noexcept
{
    y += origin.y;
    left += static_cast<float>(origin.x);
    right += static_cast<float>(origin.x);
    if (!(left < right) || y < clip.y || y >= clip.getBottom())
        return;
    const int32_t x0 = pixelIndex(left, clip.x, clip.getRight(), false);
    const int32_t x1 = pixelIndex(right, clip.x, clip.getRight(), true);
    for (int32_t x = x0; x < x1; ++x)
        blendCoverage(x, y, colour, spanCoverage(x, left, right));
}

// Shapes are drawn from their signed distance at each pixel centre: exact enough for one pixel of
// anti-aliasing on the sizes a panel uses, and the same code serves lines, discs and rounded boxes.
template <typename DistanceFn>
static void fillByDistance(Painter& p, Rectangle clip, float left, float top, float right, float bottom,
                           Colour colour, DistanceFn distance,
                           void (Painter::*blend)(int32_t, int32_t, Colour, uint32_t) noexcept)
{
    const int32_t x0 = pixelIndex(left - 1.0f, clip.x, clip.getRight(), false);
    const int32_t y0 = pixelIndex(top - 1.0f, clip.y, clip.getBottom(), false);
    const int32_t x1 = pixelIndex(right + 1.0f, clip.x, clip.getRight(), true);
    const int32_t y1 = pixelIndex(bottom + 1.0f, clip.y, clip.getBottom(), true);
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x)
            if (const uint32_t c = edgeCoverage(distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f)))
                (p.*blend)(x, y, colour, c);
}

void Painter::drawLine(float x1, float y1, float x2, float y2, Colour colour, float thickness) noexcept
{
    if (pixels == nullptr || !(thickness > 0.0f))
        return;
    const float ox = static_cast<float>(origin.x), oy = static_cast<float>(origin.y);
    x1 += ox, x2 += ox, y1 += oy, y2 += oy;
    const float dx = x2 - x1, dy = y2 - y1, lengthSquared = dx * dx + dy * dy;
    const float halfWidth = thickness * 0.5f;
    auto distance = [=](float px, float py) {
        float t = lengthSquared > 0.0f ? ((px - x1) * dx + (py - y1) * dy) / lengthSquared : 0.0f;
        t = std::clamp(t, 0.0f, 1.0f);
        const float ex = px - (x1 + t * dx), ey = py - (y1 + t * dy);
        return std::sqrt(ex * ex + ey * ey) - halfWidth;
    };
    fillByDistance(*this, clip, std::min(x1, x2) - halfWidth, std::min(y1, y2) - halfWidth,
                   std::max(x1, x2) + halfWidth, std::max(y1, y2) + halfWidth, colour, distance,
                   &Painter::blendCoverage);
}

void Painter::fillCircle(Colour colour, float centreX, float centreY, float radius) noexcept
{
    if (pixels == nullptr || !(radius >= 1.0f))
        return;
    const float cx = centreX + static_cast<float>(origin.x), cy = centreY + static_cast<float>(origin.y);
    auto distance = [=](float px, float py) { return std::hypot(px - cx, py - cy) - radius; };
    fillByDistance(*this, clip, cx - radius, cy - radius, cx + radius, cy + radius, colour, distance,
                   &Painter::blendCoverage);
}

namespace {
/** Signed distance from (px, py) to a box of half size (hw, hh) about (cx, cy) with round corners. */
float roundedBoxDistance(float px, float py, float cx, float cy, float hw, float hh, float radius) noexcept
{
    const float qx = std::fabs(px - cx) - (hw - radius), qy = std::fabs(py - cy) - (hh - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}
} // namespace

void Painter::fillRoundedRect(Rectangle r, float cornerRadius, Colour colour) noexcept
{
    drawRoundedRect(r, cornerRadius, colour, -1.0f);
}

void Painter::drawRoundedRect(Rectangle r, float cornerRadius, Colour colour, float thickness) noexcept
{
    if (pixels == nullptr || r.isEmpty() || thickness == 0.0f || thickness != thickness)
        return;
    r = r.translated(origin.x, origin.y);
    const bool filled = thickness < 0.0f;
    const float half = filled ? 0.0f : std::min(thickness, static_cast<float>(std::min(r.width, r.height))) * 0.5f;
    const float hw = static_cast<float>(r.width) * 0.5f - half, hh = static_cast<float>(r.height) * 0.5f - half;
    const float radius = std::clamp(cornerRadius - half, 0.0f, std::min(hw, hh));
    const float cx = static_cast<float>(r.x) + static_cast<float>(r.width) * 0.5f;
    const float cy = static_cast<float>(r.y) + static_cast<float>(r.height) * 0.5f;
    auto distance = [=](float px, float py) {
        const float d = roundedBoxDistance(px, py, cx, cy, hw, hh, radius);
        return filled ? d : std::fabs(d) - half;   // a ring of the thickness around the inset edge
    };
    fillByDistance(*this, clip, static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.getRight()),
                   static_cast<float>(r.getBottom()), colour, distance, &Painter::blendCoverage);
}

void Painter::fillEllipse(Rectangle r, Colour colour) noexcept
{
    if (pixels == nullptr || r.isEmpty())
        return;
    r = r.translated(origin.x, origin.y);
    const float rx = static_cast<float>(r.width) * 0.5f, ry = static_cast<float>(r.height) * 0.5f;
    const float cx = static_cast<float>(r.x) + rx, cy = static_cast<float>(r.y) + ry;
    // The usual first-order distance estimate: exact on circles, within a fraction of a pixel on the
    // flat ellipses a panel draws.
    auto distance = [=](float px, float py) {
        const float x = px - cx, y = py - cy;
        const float k0 = std::hypot(x / rx, y / ry), k1 = std::hypot(x / (rx * rx), y / (ry * ry));
        return k1 > 0.0f ? k0 * (k0 - 1.0f) / k1 : -std::min(rx, ry);
    };
    fillByDistance(*this, clip, static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.getRight()),
                   static_cast<float>(r.getBottom()), colour, distance, &Painter::blendCoverage);
}

void Painter::drawArc(float centreX, float centreY, float radius, float startAngle, float endAngle, Colour colour,
                      float thickness) noexcept
{
    if (pixels == nullptr || !(radius > 0.0f) || !(thickness > 0.0f) || !std::isfinite(startAngle)
        || !std::isfinite(endAngle))
        return;
    const float twoPi = 6.28318530717958647692f;
    const float cx = centreX + static_cast<float>(origin.x), cy = centreY + static_cast<float>(origin.y);
    const float from = std::min(startAngle, endAngle), sweep = std::min(std::fabs(endAngle - startAngle), twoPi);
    const float half = thickness * 0.5f;
    const float ends[2][2] = {{cx + radius * std::cos(from), cy - radius * std::sin(from)},
                              {cx + radius * std::cos(from + sweep), cy - radius * std::sin(from + sweep)}};
    auto distance = [=](float px, float py) {
        const float x = px - cx, y = cy - py;   // y up, so angles turn anticlockwise on screen
        float angle = std::atan2(y, x) - from;
        angle -= twoPi * std::floor(angle / twoPi);
        if (angle <= sweep)
            return std::fabs(std::hypot(x, y) - radius) - half;
        const float toStart = std::hypot(px - ends[0][0], py - ends[0][1]);
        const float toEnd = std::hypot(px - ends[1][0], py - ends[1][1]);
        return std::min(toStart, toEnd) - half;
    };
    fillByDistance(*this, clip, cx - radius - half, cy - radius - half, cx + radius + half, cy + radius + half, colour,
                   distance, &Painter::blendCoverage);
}

void Painter::drawImage(const Image& image, Rectangle source, Point destination, bool blend, uint8_t alpha) noexcept
{
    if (image.isNull() || pixels == nullptr)
        return;
    source = source.getIntersection({0, 0, image.getWidth(), image.getHeight()});
    const Rectangle wanted(origin.x + destination.x, origin.y + destination.y, source.width, source.height);
    const Rectangle dst = wanted.getIntersection(clip);
    if (dst.isEmpty())
        return;
    const int32_t sx = source.x + (dst.x - wanted.x), sy = source.y + (dst.y - wanted.y);
    const uint32_t k = static_cast<uint32_t>(alpha) + 1;
    for (int32_t row = 0; row < dst.height; ++row) {
        const uint8_t* s = image.getPixelPointer(sx, sy + row);
        uint8_t* d = pixelAt(dst.x, dst.y + row);
        if (blend)
            pixels::blendRow(d, s, dst.width, k);
        else
            std::memmove(d, s, static_cast<size_t>(dst.width) * 4);
    }
}

void Painter::drawImageAt(const Image& image, Point destination, bool blend, uint8_t alpha) noexcept
{
    drawImage(image, {0, 0, image.getWidth(), image.getHeight()}, destination, blend, alpha);
}

void Painter::drawImageScaled(const Image& image, Rectangle source, Rectangle destination, bool blend, uint8_t alpha)
{
    if (image.isNull() || destination.isEmpty())
        return;
    source = source.getIntersection({0, 0, image.getWidth(), image.getHeight()});
    if (source.isEmpty())
        return;
    if (source.width == destination.width && source.height == destination.height) {
        drawImage(image, source, destination.getPosition(), blend, alpha);
        return;
    }
    // The resampler reads whole images: a part of one is copied out first.
    Image part = image;
    if (source != image.getBounds()) {
        part = Image(source.width, source.height, false);
        Painter copier(part);
        copier.drawImage(image, source, {0, 0}, false);
    }
    Image scaled(destination.width, destination.height, true);
    const Rectangle all(0, 0, destination.width, destination.height);
    scaled = drawImageTransformed(scaled, part, &all, 1, -1);
    drawImageAt(scaled, destination.getPosition(), blend, alpha);
}

// --- text -------------------------------------------------------------------------------------------

void Painter::drawGlyph(const Glyph& glyph, int32_t x, int32_t y, Colour colour) noexcept
{
    const Image& image = glyph.image;
    const Rectangle area = Rectangle(x, y, image.getWidth(), image.getHeight()).getIntersection(clip);
    if (area.isEmpty())
        return;
    const uint32_t k = static_cast<uint32_t>(colour.getAlpha()) + 1;
    // The glyph's coverage bytes run left to right across the pixel; on the usual red-green-blue stripe
    // order the leftmost sample belongs to red, which sits in byte 2 of our pixels.
    const uint32_t channel[3] = {colour.getBlue(), colour.getGreen(), colour.getRed()};
    for (int32_t py = area.y; py < area.getBottom(); ++py) {
        const uint8_t* g = image.getPixelPointer(area.x - x, py - y);
        uint8_t* d = pixelAt(area.x, py);
        for (int32_t px = 0; px < area.width; ++px, g += 4, d += 4) {
            if (g[3] == 0)
                continue;
            for (int c = 0; c < 3; ++c) {
                uint32_t cover = (g[2 - c] * k) >> 8;
                cover += cover >> 7;    // 0..255 onto 0..256, so full coverage paints the colour exactly
                d[c] = static_cast<uint8_t>(((d[c] * (256 - cover)) >> 8) + ((channel[c] * cover) >> 8));
            }
            uint32_t a = (g[3] * k) >> 8;
            a += a >> 7;
            d[3] = static_cast<uint8_t>(std::min<uint32_t>(255, ((d[3] * (256 - a)) >> 8) + a));
        }
    }
}

void Painter::drawText(const String& text, Point position, Colour colour)
{
    if (pixels == nullptr || colour.getAlpha() == 0)
        return;
    const char* bytes = text.toUTF8();
    const size_t length = text.length();
    float pen = static_cast<float>(origin.x + position.x);
    const int32_t top = origin.y + position.y;
    for (size_t index = 0; index < length;) {
        const Glyph* glyph = font.getGlyph(nextCodePoint(bytes, index));
        if (glyph == nullptr)
            continue;
        if (!glyph->image.isNull())
            drawGlyph(*glyph, static_cast<int32_t>(std::lround(pen)) + glyph->left, top + glyph->top, colour);
        pen += glyph->advance;
    }
}

int32_t Painter::getCapitalHeight() const
{
    if (const Glyph* capital = font.getGlyph(65); capital != nullptr && !capital->image.isNull())
        return capital->image.getHeight();
    // Metrics-only fonts: a typical capital is about 0.72 of the em, and points are 96/72 pixels.
    return static_cast<int32_t>(std::lround(font.getHeight() * (96.0 / 72.0) * 0.72));
}

void Painter::drawText(const String& text, Rectangle area, Colour colour, int justification)
{
    if (area.isEmpty())
        return;
    const int32_t width = static_cast<int32_t>(std::lround(font.getStringWidth(text)));
    const int32_t capital = getCapitalHeight();
    int32_t x = area.x, y = area.y;
    if (justification & justifyCentred) {
        x += (area.width - width) / 2;
        y += (area.height - capital) / 2;
    } else {
        if (justification & justifyRight)
            x += area.width - width;
        if (justification & justifyVerticallyCentred)
            y += (area.height - capital) / 2;
    }
    const Rectangle previous = reduceClip(area, true);
    drawText(text, {x, y}, colour);
    clip = previous;
}

} // namespace q9framework
