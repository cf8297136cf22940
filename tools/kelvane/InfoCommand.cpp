// `kelvane info`: what a VST host learns about the plug-in through its AEffect and dispatcher.

#include "tools/kelvane/CommandLine.h"
#include "tools/kelvane/HostedPlugin.h"
#include "tools/kelvane/SubCommand.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kelvane {

namespace {

const std::vector<OptionSpec>& infoOptions()
{
    static const std::vector<OptionSpec> options = {
        {"--plugin", "PATH", "bundle directory or .so (default: the built bundle, then ~/.vst/Kelvane.vst)"},
        {"--help", "", "show this help"},
    };
    return options;
}

std::string describeFlags(VstInt32 flags)
{
    static const struct { VstInt32 bit; const char* name; } names[] = {
        {effFlagsHasEditor, "has editor"},          {effFlagsCanReplacing, "can replacing"},
        {effFlagsProgramChunks, "program chunks"},  {effFlagsIsSynth, "synth"},
        {effFlagsNoSoundInStop, "no sound in stop"}, {effFlagsCanDoubleReplacing, "can double replacing"},
    };
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
    std::string text = hex;
    const char* separator = ": ";
    for (const auto& n : names)
        if ((flags & n.bit) != 0) {
            text += separator;
            text += n.name;
            separator = ", ";
        }
    return text;
}

void printInfoHelp()
{
    std::printf("usage: kelvane info [--plugin PATH]\n\n"
                "Loads the plug-in as a VST host does and prints what the host sees: names, version,\n"
                "unique ID, flags, channels, and every parameter with its current display text.\n\n%s",
                describeOptions(infoOptions()).c_str());
}

int runInfo(const std::vector<std::string>& args)
{
    CommandLine line;
    std::string error;
    if (!line.parse(args, infoOptions(), error)) {
        std::fprintf(stderr, "kelvane info: %s (see kelvane info --help)\n", error.c_str());
        return exitUsage;
    }
    if (line.has("--help")) {
        printInfoHelp();
        return exitSuccess;
    }
    if (!line.positional().empty()) {
        std::fprintf(stderr, "kelvane info: unexpected argument '%s'\n", line.positional().front().c_str());
        return exitUsage;
    }
    HostedPlugin hosted;
    if (!hosted.load(line.value("--plugin"), error)) {
        std::fprintf(stderr, "kelvane info: %s\n", error.c_str());
        return exitFailure;
    }
    q9framework::VSTPlugIn& plugIn = hosted.plugIn();
    const AEffect& effect = hosted.effect();

    std::printf("plug-in       %s\n", hosted.location().executablePath.c_str());
    std::printf("name          %s\n", plugIn.dispatchForText(effGetEffectName, 0, 63).c_str());
    std::printf("vendor        %s\n", plugIn.dispatchForText(effGetVendorString, 0, 63).c_str());
    std::printf("product       %s\n", plugIn.dispatchForText(effGetProductString, 0, 63).c_str());
    const VstIntPtr version = plugIn.dispatch(effGetVendorVersion);
    std::printf("version       %s (%lld)\n", formatVendorVersion(version).c_str(), static_cast<long long>(version));
    std::printf("VST version   %lld\n", static_cast<long long>(plugIn.dispatch(effGetVstVersion)));
    std::printf("unique ID     %s\n", formatUniqueId(effect.uniqueID).c_str());
    std::printf("flags         %s\n", describeFlags(effect.flags).c_str());
    std::printf("channels      %d in, %d out\n", effect.numInputs, effect.numOutputs);
    std::printf("latency       %d samples\n", effect.initialDelay);
    const std::string programName = plugIn.getProgramName();
    std::printf("programs      %d%s\n", effect.numPrograms, programName.empty() ? "" : (", current \"" + programName + "\"").c_str());
    std::printf("parameters    %d\n", effect.numParams);
    for (int i = 0; i < effect.numParams; ++i)
        std::printf("  %2d  %-14s %-10s (%.4f)\n", i, plugIn.dispatchForText(effGetParamName, i, 63).c_str(),
                    plugIn.getParameterDisplay(i).c_str(), static_cast<double>(plugIn.getParameter(i)));
    return exitSuccess;
}

const SubCommandRegistration registration({"info", "info [--plugin PATH]",
                                           "show the plug-in as a VST host sees it: names, IDs, parameters",
                                           runInfo, printInfoHelp});

} // namespace

} // namespace kelvane
