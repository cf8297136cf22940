#pragma once
#include "String.h"

#include <cstdint>

namespace q9framework {

/** A colour as four bytes: alpha, red, green, blue. Not premultiplied unless made so by premultiplied().
    Word form 0xAARRGGBB; text form "#AARRGGBB". */
class Colour {
public:
    constexpr Colour() noexcept = default;
    constexpr Colour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) noexcept
        : a(alpha), r(red), g(green), b(blue) {}
    static constexpr Colour fromARGB(uint32_t argb) noexcept
    {
        return Colour(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                      static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24));
    }
    /** "#AARRGGBB" (the "#" is optional); anything that does not give four bytes is all zeros. */
    static Colour fromString(const char* text) noexcept;
    /** Hue, saturation, value and alpha, each 0..1. */
    static Colour fromHSV(double hue, double saturation, double value, double alpha = 1.0) noexcept;

    constexpr uint32_t getARGB() const noexcept
    {
        return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
    }
    String toString() const;

    constexpr uint8_t getAlpha() const noexcept { return a; }
    constexpr uint8_t getRed() const noexcept { return r; }
    constexpr uint8_t getGreen() const noexcept { return g; }
    constexpr uint8_t getBlue() const noexcept { return b; }

    Colour withAlpha(uint8_t alpha) const noexcept { return Colour(r, g, b, alpha); }
    /** Alpha times factor, clamped to 0..255. */
    Colour withMultipliedAlpha(float factor) const noexcept;
    /** Each colour byte times factor, clamped to 0..255; alpha unchanged. */
    Colour withMultipliedBrightness(float factor) const noexcept;
    /** Per channel this·(1 − t) + other·t, truncated. */
    Colour interpolatedWith(Colour other, float t) const noexcept;
    /** Each colour byte × alpha / 255. */
    Colour premultiplied() const noexcept;
    /** Hue, saturation and value, each 0..1. */
    void getHSV(double& hue, double& saturation, double& value) const noexcept;

    constexpr bool operator==(Colour o) const noexcept { return getARGB() == o.getARGB(); }
    constexpr bool operator!=(Colour o) const noexcept { return getARGB() != o.getARGB(); }

private:
    uint8_t a = 0, r = 0, g = 0, b = 0;
};

} // namespace q9framework
