#include "tools/kelvane/ParameterUnits.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

// The effect's display arithmetic for the integer-percentage parameters, in single precision as
// the effect computes it.
int displayedBipolarPercent(float v) { return static_cast<int>(v * 200.0f - 100.0f); }
int displayedDrivePercent(float v) { return static_cast<int>(v * 100.0f); }

// A value computed in double and narrowed may land one float step on the wrong side of a
// truncation boundary; walk towards the side that displays `wanted`, a few steps at most.
template <typename Display>
float nudgeToDisplay(float v, double percent, Display display)
{
    if (percent != std::floor(percent))
        return v;                             // fractional input: the engine gets it as typed
    const int wanted = static_cast<int>(percent);
    for (int step = 0; step < 8 && display(v) != wanted; ++step)
        v = std::nextafter(v, display(v) < wanted ? 2.0f : -1.0f);
    return v;
}

float clamp01(double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); }

} // namespace

ParameterUnit attackReleaseUnit() { return {"%", -100.0, 100.0}; }
ParameterUnit gainUnit() { return {"dB", -9.0, 9.0}; }
ParameterUnit driveUnit() { return {"%", 0.0, 100.0}; }

float normalisedFromPercentBipolar(double percent)
{
    percent = std::clamp(percent, -100.0, 100.0);
    return std::clamp(nudgeToDisplay(clamp01((percent + 100.0) / 200.0), percent, displayedBipolarPercent), 0.0f, 1.0f);
}

float normalisedFromGainDb(double db)
{
    // Two decimals of a value this small are always exact enough: no nudging needed.
    return clamp01((std::clamp(db, -9.0, 9.0) + 9.0) / 18.0);
}

float normalisedFromDrivePercent(double percent)
{
    percent = std::clamp(percent, 0.0, 100.0);
    return std::clamp(nudgeToDisplay(clamp01(percent / 100.0), percent, displayedDrivePercent), 0.0f, 1.0f);
}

bool normalisedFromTimeCharacter(const std::string& text, float& value)
{
    if (text == "sharp")
        value = 0.0f;
    else if (text == "mid")
        value = 0.5f;
    else if (text == "soft")
        value = 1.0f;
    else
        return false;
    return true;
}

} // namespace kelvane
