// The quad geometry every texture drawing goes through, checked on a texture that records its calls.
#include "framework/gui/Texture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace q9framework;

namespace {

class RecordingTexture : public Texture {
public:
    RecordingTexture(int32_t w, int32_t h) : Texture(nullptr, w, h, 1) {}
    void clear() override {}
    void upload(const Image&, const Rectangle*, int, bool) override {}
    void draw(const double src[4], const double quad[8], float a) override
    {
        std::copy(src, src + 4, source);
        std::copy(quad, quad + 8, corners);
        alpha = a;
    }
    double source[4] = {};
    double corners[8] = {};
    float alpha = -1.0f;
};

} // namespace

TEST(TextureTest, DrawScaledCentresScalesAndRotatesAboutTheMiddle)
{
    const double pi = 3.14159265358979323846;
    const struct {
        double x, y, scale, angle;
        double expected[8];   // top-left, top-right, bottom-right, bottom-left
        const char* what;
    } cases[] = {
        {5, -3, 0.5, 0.0, {15, 2, 35, 2, 35, 12, 15, 12}, "moved, half size about the centre"},
        // A quarter turn clockwise on screen (y down): the top-left corner swings to the top-right.
        {0, 0, 1.0, pi / 2, {30, -10, 30, 30, 10, 30, 10, -10}, "quarter turn"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingTexture texture(40, 20);
        texture.drawScaled(c.x, c.y, c.scale, 0.75, c.angle);
        for (int i = 0; i < 8; ++i)
            EXPECT_NEAR(texture.corners[i], c.expected[i], 1e-9) << i;
        EXPECT_EQ(texture.source[0], 0.0);
        EXPECT_EQ(texture.source[2], 40.0);
        EXPECT_EQ(texture.source[3], 20.0);
        EXPECT_FLOAT_EQ(texture.alpha, 0.75f);
    }
}
