#pragma once

#include <string>

namespace kelvane {

/** The effect's seven parameters as the command line names them, and the conversion from the units
    the plug-in displays to the normalised 0..1 values a VST host sends.
    The conversions invert the effect's own display formulas, so that the value chosen on the command
    line is the value the plug-in shows back (`kelvane render` prints the plug-in's own texts). */
enum ParameterIndex {
    attackParameter = 0,
    releaseParameter = 1,
    bypassParameter = 2,
    gainParameter = 3,
    attackTimeParameter = 4,
    releaseTimeParameter = 5,
    driveParameter = 6,
    numKelvaneParameters = 7
};

/** A unit the user types and its range. */
struct ParameterUnit {
    const char* unit;                        // "%" or "dB"
    double minimum;
    double maximum;
};

ParameterUnit attackReleaseUnit();           // -100..100 %
ParameterUnit gainUnit();                    // -9..9 dB
ParameterUnit driveUnit();                   // 0..100 %

/** Attack or Release in percent (-100..100) to the normalised value. The effect shows
    (int)(v * 200 - 100) in single precision, truncated toward zero; the result is nudged by a few
    float steps where needed so that a whole percentage reads back exactly (e.g. -99 %, not -98 %).
    Out-of-range input is clamped; the caller checks the range first to report it. */
float normalisedFromPercentBipolar(double percent);
/** Gain in dB (-9..9): the effect shows v * 18 - 9 with two decimals. */
float normalisedFromGainDb(double db);
/** Drive in percent (0..100): the effect shows (int)(v * 100). */
float normalisedFromDrivePercent(double percent);

/** "sharp", "mid" or "soft" to the middle of the matching third of the range (0, 0.5, 1 keep far from
    the 0.333 and 0.666 borders); false for any other text. */
[[nodiscard]] bool normalisedFromTimeCharacter(const std::string& text, float& value);

} // namespace kelvane
