#include "effect/editor/MeterGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace MeterGeometry;
using q9framework::Rectangle;

TEST(MeterMapping, BreakpointsAndSegments)
{
    const struct { float level, expected; const char* what; } cases[] = {
        {1.412f, 1.0f, "+3 dB pins the needle"},
        {1.0f, 0.66f, "0 dB"},
        {0.1f, 0.0f, "-20 dB is the rest position"},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f, "NaN rests"},
        {0.6f, 0.22f + (0.39f - 0.22f) * (0.6f - 0.5f) / (0.707f - 0.5f), "between -6 and -3 dB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FLOAT_EQ(levelToPosition(c.level), c.expected);
    }
}

// A segment interpolated towards the wrong neighbour jumps at its ends; the dial's needle must not.
TEST(MeterMapping, RisesWithoutJumpsAcrossTheScale)
{
    float previous = levelToPosition(0.0f);
    for (int i = 1; i <= 3000; ++i) {
        const float level = i * 0.0005f;
        const float p = levelToPosition(level);
        ASSERT_GE(p, previous) << "level " << level;
        ASSERT_LT(p - previous, 0.002f) << "level " << level;
        previous = p;
    }
}

TEST(NeedleGeometry, AngleAndLength)
{
    EXPECT_EQ(needleAngle(1.0f), 0.91f);
    EXPECT_NEAR(needleLength(0.91f, 131), 105.0f + 24.0149f, 1e-4);

    // Whatever the angle, the needle's lower end stays 20 units under the meter.
    const Rectangle meter(177, 56, 272, 131);
    for (float position : {0.0f, 0.3f, 0.77f, 1.0f}) {
        const Needle n = needleFor(meter, position, needleStyle(2));
        EXPECT_EQ(n.needle.y + n.needle.height, 56 + 131 + 20.0) << position;
        EXPECT_EQ(n.shadow.y + n.shadow.height, 56 + 131 + 19.0) << position;
    }
}

TEST(NeedleGeometry, ClipRoundsOutwardOnlyWhenFractional)
{
    EXPECT_EQ(roundedOutward(toWindow(Rectangle(177, 56, 272, 131), 1.0, 1.0)), Rectangle(177, 56, 272, 131));
    EXPECT_EQ(roundedOutward(Area{10.2, 4.9, 0.6, 0.05}), Rectangle(10, 4, 1, 1));
}
