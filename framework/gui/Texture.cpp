#include "framework/gui/Texture.h"

#include <cmath>

namespace q9framework {

void Texture::drawScaled(double x, double y, double scale, double alpha, double angle)
{
    const double cx = width * 0.5 + x, cy = height * 0.5 + y;
    const double hw = width * scale * 0.5, hh = height * scale * 0.5;
    const double c = std::cos(angle), s = std::sin(angle);
    const double offsets[4][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    double corners[8];
    for (int i = 0; i < 4; ++i) {
        corners[i * 2] = cx + offsets[i][0] * c - offsets[i][1] * s;
        corners[i * 2 + 1] = cy + offsets[i][0] * s + offsets[i][1] * c;
    }
    const double source[4] = {0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
    draw(source, corners, static_cast<float>(alpha));
}

} // namespace q9framework
