#pragma once

// "TDParameters.txt": how the wrapper publishes the VST effect's parameters to an Audio Unit host.
// The effect knows only indices and values 0..1; this bundle resource gives each published index a
// name, a range in the unit the host shows, a kind and a default. One header line, then one line per
// parameter with seven tab-separated columns:
//
//     index[+]  name  minimum  maximum  kind  unit  default
//
// kind: "=" continuous, "?" continuous with texts from the effect, "b" boolean, "i" indexed with texts
// from the effect, anything else a list of value names separated by "|" (indexed). unit "-" means none.
// "+" after the index marks a global-meta parameter (one that moves others).

#include <cstdint>
#include <string>
#include <vector>

namespace q9framework {

/** The most parameters the wrapper publishes to an Audio Unit host. */
constexpr int maxMappedParameters = 1024;

/** One parameter line as read, before it becomes an AudioUnitParameterInfo. */
struct ParameterLine {
    int32_t index = -1;
    bool globalMeta = false;
    std::string name;                        // up to 255 characters
    float minValue = 0.0f;
    float maxValue = 0.0f;
    std::string kind;                        // leading spaces removed; never empty in a used line
    std::string unitName;                    // as written ("-" is kept; the caller reads it as none)
    float defaultValue = 0.0f;

    /** The value names of a list kind (split at "|"); empty for "=", "?", "b" and "i". */
    std::vector<std::string> valueNames() const;
};

/** Reads the seven columns of one line (already without its leading spaces). False when a column is
    missing or malformed: the index is not a whole decimal number, a number column is not a number,
    or the columns are not separated by tabs. Numbers are read with a decimal point whatever the
    process's locale is. Range checks are left to `parseParameterFile`. */
[[nodiscard]] bool scanParameterLine(const std::string& line, ParameterLine& out);

/** The lines of a whole file that describe parameters of an effect with `numParams` parameters, in
    file order. The header line, comments and blank lines are skipped; a line is used only when all
    seven columns were read, 0 <= index < numParams, minimum < maximum, minimum <= default <= maximum,
    the kind is not empty, and no earlier line described the same index. Other lines are dropped
    without a message, as a host would rather see the rest of the parameters than none.
    Throws TandrilException "Too many mapped parameters" past 1024 used lines. */
std::vector<ParameterLine> parseParameterFile(const std::string& text, int32_t numParams);

} // namespace q9framework
