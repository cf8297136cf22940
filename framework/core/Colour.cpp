#include "Colour.h"

#include <cmath>
#include <cstring>

namespace q9framework {

namespace {
uint8_t clampByte(float v) noexcept
{
    if (!(v > 0.0f))
        return 0;
    return v >= 255.0f ? 255 : static_cast<uint8_t>(v);
}

} // namespace

Colour Colour::fromString(const char* text) noexcept
{
    if (text == nullptr)
        return Colour();
    if (*text == '#')
        ++text;
    if (std::strlen(text) != 8)
        return Colour();
    uint32_t word = 0;
    for (int i = 0; i < 8; ++i) {
        const int d = hexDigitValue(text[i]);
        if (d < 0)
            return Colour();
        word = (word << 4) | static_cast<uint32_t>(d);
    }
    return fromARGB(word);
}

String Colour::toString() const { return String::formatted("#%08X", getARGB()); }

Colour Colour::withMultipliedAlpha(float factor) const noexcept
{
    return Colour(r, g, b, clampByte(static_cast<float>(a) * factor));
}

Colour Colour::withMultipliedBrightness(float factor) const noexcept
{
    return Colour(clampByte(r * factor), clampByte(g * factor), clampByte(b * factor), a);
}

Colour Colour::interpolatedWith(Colour o, float t) const noexcept
{
    auto mix = [t](uint8_t x, uint8_t y) { return clampByte(x * (1.0f - t) + y * t); };
    return Colour(mix(r, o.r), mix(g, o.g), mix(b, o.b), mix(a, o.a));
}

Colour Colour::premultiplied() const noexcept
{
    return Colour(static_cast<uint8_t>(r * a / 255), static_cast<uint8_t>(g * a / 255),
                  static_cast<uint8_t>(b * a / 255), a);
}

void Colour::getHSV(double& hue, double& saturation, double& value) const noexcept
{
    const double rf = r / 255.0, gf = g / 255.0, bf = b / 255.0;
    const double maxC = std::fmax(rf, std::fmax(gf, bf));
    const double minC = std::fmin(rf, std::fmin(gf, bf));
    const double delta = maxC - minC;
    value = maxC;
    saturation = maxC > 0.0 ? delta / maxC : 0.0;
    if (delta <= 0.0) {
        hue = 0.0;
        return;
    }
    double h;
    if (maxC == rf)
        h = (gf - bf) / delta;
    else if (maxC == gf)
        h = 2.0 + (bf - rf) / delta;
    else
        h = 4.0 + (rf - gf) / delta;
    h /= 6.0;
    hue = h < 0.0 ? h + 1.0 : h;
}

Colour Colour::fromHSV(double hue, double saturation, double value, double alpha) noexcept
{
    auto toByte = [](double v) { return clampByte(static_cast<float>(v * 255.0 + 0.5)); };
    hue = hue - std::floor(hue);
    const double h6 = hue * 6.0;
    const int sector = static_cast<int>(h6) % 6;
    const double f = h6 - std::floor(h6);
    const double p = value * (1.0 - saturation);
    const double q = value * (1.0 - saturation * f);
    const double t = value * (1.0 - saturation * (1.0 - f));
    double rr, gg, bb;
    switch (sector) {
    case 0: rr = value; gg = t; bb = p; break;
    case 1: rr = q; gg = value; bb = p; break;
    case 2: rr = p; gg = value; bb = t; break;
    case 3: rr = p; gg = q; bb = value; break;
    case 4: rr = t; gg = p; bb = value; break;
    default: rr = value; gg = p; bb = q; break;
    }
    return Colour(toByte(rr), toByte(gg), toByte(bb), toByte(alpha));
}

} // namespace q9framework
