#include "tools/kelvane/ParameterUnits.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace kelvane;

// The effect's own display formulas, in single precision as it computes them: the command line's
// conversions must land on values the plug-in shows back exactly as typed.
namespace {
int bipolarDisplay(float v) { return static_cast<int>(v * 200.0f - 100.0f); }
int driveDisplay(float v) { return static_cast<int>(v * 100.0f); }
std::string gainDisplay(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(v * 18.0f - 9.0f));
    return text;
}
} // namespace

TEST(ParameterUnits, EveryWholePercentageReadsBackAsTyped)
{
    for (int percent = -100; percent <= 100; ++percent) {
        SCOPED_TRACE(percent);
        const float v = normalisedFromPercentBipolar(percent);
        EXPECT_EQ(bipolarDisplay(v), percent);
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, 1.0f);
    }
    for (int percent = 0; percent <= 100; ++percent) {
        SCOPED_TRACE(percent);
        EXPECT_EQ(driveDisplay(normalisedFromDrivePercent(percent)), percent);
    }
}

TEST(ParameterUnits, GainInHundredthsOfADecibelReadsBackAsTyped)
{
    for (int hundredths = -900; hundredths <= 900; ++hundredths) {
        const double db = hundredths / 100.0;
        char typed[32];
        std::snprintf(typed, sizeof typed, "%.2f", db);
        ASSERT_EQ(gainDisplay(normalisedFromGainDb(db)), typed) << db;
    }
    EXPECT_EQ(normalisedFromGainDb(0.0), 0.5f);
    EXPECT_EQ(normalisedFromGainDb(4.5), 0.75f);
}
