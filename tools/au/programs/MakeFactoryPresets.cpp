// kelvane-make-au-presets: writes the Audio Unit factory presets into a Kelvane bundle at build time.
// Each preset is the effect's own state: the plug-in is loaded from the bundle as a host loads it, set
// to the preset's parameters, and saved as an FXP (the effect's chunk) inside an ".aupreset".
//
//   kelvane-make-au-presets BUNDLE PRESETS_LIST PARAMETER_FILE OUT_DIR
//
// PRESETS_LIST: lines of file name, preset name and the seven parameters in the Audio Unit's units,
// separated by tabs (";" starts a comment). PARAMETER_FILE: the bundle's TDParameters.txt, whose ranges
// turn those values into the effect's normalised ones exactly as the Audio Unit does. OUT_DIR receives
// the presets and TDFactoryPresets.txt.

#include "auwrapper/ClassInfo.h"
#include "auwrapper/ParameterFile.h"
#include "auwrapper/ResourceText.h"
#include "auwrapper/VSTPresetCodec.h"
#include "tools/kelvane/HostedPlugin.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "kelvane-make-au-presets: %s\n", message.c_str());
    return 1;
}

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    return fields;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
        return fail("usage: kelvane-make-au-presets BUNDLE PRESETS_LIST PARAMETER_FILE OUT_DIR");
    const std::string bundle = argv[1], listPath = argv[2], parameterPath = argv[3], outDir = argv[4];
    try {
        kelvane::HostedPlugin hosted;
        std::string error;
        if (!hosted.load(bundle, error))
            return fail(error);
        VSTPlugIn& plugIn = hosted.plugIn();
        const std::vector<ParameterLine> parameters =
            parseParameterFile(readResourceText(parameterPath), hosted.effect().numParams);
        const AudioComponentDescription component{fourCharCode("aufx"), fourCharCode("KvLn"),
                                                  fourCharCode(KELVANE_AU_MANUFACTURER), 0, 0};

        std::string listing = "; Kelvane's factory presets, in the order hosts show them\n";
        int lineNumber = 0;
        for (const std::string& raw : splitResourceLines(readResourceText(listPath))) {
            ++lineNumber;
            const std::string line = skipLeadingSpaces(raw);
            if (isCommentLine(line))
                continue;
            const std::vector<std::string> fields = splitTabs(line);
            if (fields.size() != 2 + parameters.size())
                return fail(listPath + " line " + std::to_string(lineNumber) + ": expected a file name, a preset name and "
                            + std::to_string(parameters.size()) + " values separated by tabs");
            for (size_t p = 0; p < parameters.size(); ++p) {
                char* end = nullptr;
                const float value = std::strtof(fields[2 + p].c_str(), &end);
                const ParameterLine& range = parameters[p];
                if (end == fields[2 + p].c_str() || *end != '\0' || value < range.minValue || value > range.maxValue)
                    return fail(listPath + " line " + std::to_string(lineNumber) + ": " + range.name + " '" + fields[2 + p]
                                + "' is not a number from " + std::to_string(range.minValue) + " to "
                                + std::to_string(range.maxValue));
                // The Audio Unit's own mapping, so the preset reads back as written.
                plugIn.setParameter(range.index, (value - range.minValue) / (range.maxValue - range.minValue));
            }
            // Kelvane keeps no program names (it ignores effSetProgramName and reports an empty name), so
            // the program record inside stays unnamed and the preset's name lives only in the .aupreset.
            // Once a host selects the preset, the wrapper refreshes the current preset from the effect's
            // empty name and reports it as {-1, ""}: the host shows the name it chose from its own list.
            // The name is still offered, for an effect that does keep it.
            plugIn.setProgramName(fields[1].substr(0, 24).c_str());
            cf::CFRef<cf::CFMutableDictionaryRef> preset(
                createClassInfo(component, fields[1], VSTPresetCodec(plugIn).saveProgram()));
            const std::string path = outDir + "/" + fields[0];
            if (!cf::writePropertyListToFile(preset.get(), path))
                return fail("cannot write " + path);
            listing += fields[0] + "\n";
        }
        const std::string listingPath = outDir + "/TDFactoryPresets.txt";
        FILE* out = std::fopen(listingPath.c_str(), "wb");
        if (out == nullptr || std::fwrite(listing.data(), 1, listing.size(), out) != listing.size() || std::fclose(out) != 0)
            return fail("cannot write " + listingPath);
        return 0;
    } catch (const std::exception& e) {
        return fail(std::string(listPath) + ": " + e.what());
    }
}
