// The Audio Unit wrapper's bundle texts: "TDParameters.txt" (the parameter map) and the line
// splitting that "TDFactoryPresets.txt" goes through. Checks what the wrapper relies on afterwards:
// every used parameter line is in range and each index comes once; split lines hold no line ends and
// keep to the length limit.
#include "auwrapper/ParameterFile.h"
#include "auwrapper/ResourceText.h"
#include "auwrapper/vsthost/TandrilException.h"
#include "fuzz/FuzzSupport.h"

#include <set>
#include <string>

using namespace q9framework;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    for (const std::string& line : splitResourceLines(text, 255)) {
        FUZZ_CHECK(line.size() <= 255, "a line keeps to its limit");
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, "a line holds no line end");
        const std::string trimmed = skipLeadingSpaces(line);
        FUZZ_CHECK(trimmed.empty() || trimmed[0] != ' ', "leading spaces are gone");
        (void) isCommentLine(trimmed);
    }

    constexpr int32_t numParams = 7;
    try {
        std::set<int32_t> seen;
        for (const ParameterLine& p : parseParameterFile(text, numParams)) {
            FUZZ_CHECK(p.index >= 0 && p.index < numParams, "index in range");
            FUZZ_CHECK(seen.insert(p.index).second, "each index once");
            FUZZ_CHECK(p.minValue < p.maxValue, "minimum below maximum");
            FUZZ_CHECK(p.minValue <= p.defaultValue && p.defaultValue <= p.maxValue, "default in range");
            FUZZ_CHECK(!p.kind.empty(), "a kind");
            FUZZ_CHECK(p.name.size() <= 255, "name within 255 characters");
            (void) p.valueNames();
        }
    } catch (const TandrilException&) {
        // "Too many mapped parameters": a refusal the open passes on.
    }
    return 0;
}
