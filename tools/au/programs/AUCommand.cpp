// `kelvane au`: the plug-in as an Audio Unit host sees it. The bundle's AudioComponents entry names the
// component and its entry; everything goes through that entry (never through the VST interface), so
// this is the Audio Unit side end to end: properties, parameters in the Audio Unit's units, factory
// presets, saved state (".aupreset") and rendering.

#include "tools/au/AUBundleComponent.h"
#include "tools/au/AUOfflineRenderer.h"
#include "tools/au/programs/AUEdit.h"
#include "tools/au/programs/AUWrap.h"
#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/CommandLine.h"
#include "tools/kelvane/DemoLoop.h"
#include "tools/kelvane/PluginLocator.h"
#include "tools/kelvane/SubCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kelvane {

namespace {

using namespace q9framework::cf;

// The demo's setting, the same as `kelvane render` uses, so the two programs can be compared bit for bit.
constexpr double demoAttackPercent = 60.0;
constexpr double demoReleasePercent = -60.0;
constexpr double demoGainDb = -4.5;
constexpr long defaultBlockSize = 512;
const char* const demoOutputFile = "kelvane-au-demo-out.wav";

const std::vector<OptionSpec>& auOptions()
{
    static const std::vector<OptionSpec> options = {
        {"-o", "OUT", "render: output file (default: IN's name with -kelvane-au)"},
        {"--attack", "PCT", "Attack, -100 to 100 %"},
        {"--release", "PCT", "Release, -100 to 100 %"},
        {"--gain", "DB", "Gain, -9 to 9 dB"},
        {"--drive", "PCT", "Drive, 0 to 100 %"},
        {"--attack-time", "sharp|mid|soft", "time character of the attack"},
        {"--release-time", "sharp|mid|soft", "time character of the release"},
        {"--bypass", "", "switch the effect to bypass"},
        {"--param", "ID=V,...", "set parameters by their ID (as info lists them) in their published units"},
        {"--block", "N", "render: frames per render call, 1 to 4096 (default 512)"},
        {"--screenshot", "PNG", "edit: write what the window shows into PNG, then quit"},
        {"--after-ms", "N", "edit: how long to play before the screenshot (default 1000)"},
        {"--preset", "NAME", "start from this factory preset"},
        {"--state", "FILE", "start from the state saved in this .aupreset file"},
        {"--save-state", "FILE", "save the state (after the settings) as an .aupreset file"},
        {"--plugin", "PATH", "bundle directory (default: the built bundle, then ~/.vst/Kelvane.vst)"},
        {"--help", "", "show this help"},
    };
    return options;
}

void printAUHelp()
{
    std::printf("usage: kelvane au info [options]\n"
                "       kelvane au render [IN] [-o OUT] [options]\n"
                "       kelvane au edit [IN] [--screenshot PNG [--after-ms N]] [options]\n"
                "       kelvane au wrap PLUGIN.so [-o NAME.vst] [options]   (see kelvane au wrap --help)\n\n"
                "Loads the bundle as an Audio Unit host does (its AudioComponents entry, the component entry,\n"
                "the host services) and drives the plug-in only through the Audio Unit interface.\n"
                "  info    the component, its channel configurations, parameters and factory presets\n"
                "  render  renders IN (or the built-in demo with Attack %+.0f %%, Release %+.0f %%, Gain %+.1f dB,\n"
                "          into %s) exactly as `kelvane render` does through the VST interface\n"
                "  edit    shows the editor through the Audio Unit view in a window, playing IN (or the demo loop)\n"
                "          through the unit in real time, and prints the parameter changes made in it\n"
                "  wrap    makes an Audio Unit bundle around another Linux VST 2.4 plug-in\n"
                "The named settings (--attack, --gain, ...) are Kelvane's parameters, found by their names; the\n"
                "demo's settings apply only where the plug-in has them.\n\n%s",
                demoAttackPercent, demoReleasePercent, demoGainDb, demoOutputFile, describeOptions(auOptions()).c_str());
}

int usageError(const std::string& message)
{
    std::fprintf(stderr, "kelvane au: %s (see kelvane au --help)\n", message.c_str());
    return exitUsage;
}

int failure(const std::string& message)
{
    std::fprintf(stderr, "kelvane au: %s\n", message.c_str());
    return exitFailure;
}

/** One setting of the command line, in the Audio Unit's units (the published ranges): a parameter
    found by its published name (Kelvane's named options) or given by its ID (--param). */
struct Setting {
    std::string parameterName;       // empty: `id` is given
    AudioUnitParameterID id = 0;
    Float32 value = 0.0f;
    std::string option;              // where it came from, for messages; empty for a demo default
};

bool readSettings(const CommandLine& line, bool isDemo, std::vector<Setting>& settings, std::string& error)
{
    struct NumberOption {
        const char* name;
        const char* parameter;
        double minimum, maximum;
        const char* unit;
        double demoDefault;
        bool hasDemoDefault;
    };
    const NumberOption numbers[] = {
        {"--attack", "Attack", -100, 100, "%", demoAttackPercent, true},
        {"--release", "Release", -100, 100, "%", demoReleasePercent, true},
        {"--gain", "Gain", -9, 9, "dB", demoGainDb, true},
        {"--drive", "Drive", 0, 100, "%", 0, false},
    };
    for (const NumberOption& o : numbers) {
        double v = 0.0;
        std::string option;
        if (line.has(o.name)) {
            if (!parseNumberOption(o.name, line.value(o.name), o.minimum, o.maximum, o.unit, v, error))
                return false;
            option = o.name;
        } else if (isDemo && o.hasDemoDefault) {
            v = o.demoDefault;
        } else {
            continue;
        }
        settings.push_back({o.parameter, 0, static_cast<Float32>(v), option});
    }
    const std::pair<const char*, const char*> times[] = {{"--attack-time", "Attack Time"}, {"--release-time", "Release Time"}};
    for (const auto& [name, parameter] : times) {
        if (!line.has(name))
            continue;
        const std::string text = line.value(name);
        const Float32 index = text == "sharp" ? 0.0f : text == "mid" ? 1.0f : text == "soft" ? 2.0f : -1.0f;
        if (index < 0.0f) {
            error = std::string("option '") + name + "' expects sharp, mid or soft, got '" + text + "'";
            return false;
        }
        settings.push_back({parameter, 0, index, name});
    }
    if (line.has("--bypass"))
        settings.push_back({"Bypass", 0, 1.0f, "--bypass"});
    if (line.has("--param")) {
        const std::string list = line.value("--param");
        size_t start = 0;
        while (start <= list.size()) {
            const size_t comma = std::min(list.find(',', start), list.size());
            const std::string item = list.substr(start, comma - start);
            const size_t equals = item.find('=');
            char* idEnd = nullptr;
            char* valueEnd = nullptr;
            const std::string idText = item.substr(0, equals == std::string::npos ? 0 : equals);
            const std::string valueText = equals == std::string::npos ? std::string() : item.substr(equals + 1);
            const unsigned long id = std::strtoul(idText.c_str(), &idEnd, 10);
            const float value = std::strtof(valueText.c_str(), &valueEnd);
            if (idText.empty() || *idEnd != '\0' || valueText.empty() || *valueEnd != '\0' || !std::isfinite(value)) {
                error = "option '--param' expects ID=VALUE pairs separated by commas, got '" + item + "'";
                return false;
            }
            settings.push_back({"", static_cast<AudioUnitParameterID>(id), value, "--param " + item});
            start = comma + 1;
        }
    }
    return true;
}

/** The published parameters: IDs in the order the unit lists them. */
std::vector<AudioUnitParameterID> parameterIds(AUHostInstance& unit)
{
    UInt32 size = 0;
    if (unit.getPropertyInfo(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size, nullptr) != noErr)
        return {};
    std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
    if (ids.empty() || unit.getProperty(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, ids.data(), &size) != noErr)
        return {};
    ids.resize(size / sizeof(AudioUnitParameterID));
    return ids;
}

/** Applies the settings. A named one the plug-in does not have is skipped when it is a demo default
    (another plug-in renders the demo as it stands) and refused when the user asked for it. */
bool applySettings(AUHostInstance& unit, const std::vector<Setting>& settings, std::string& error)
{
    const std::vector<AudioUnitParameterID> ids = parameterIds(unit);
    for (const Setting& setting : settings) {
        AudioUnitParameterID id = setting.id;
        bool found = setting.parameterName.empty();
        for (size_t i = 0; i < ids.size() && !found; ++i) {
            AudioUnitParameterInfo info{};
            if (unit.get(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, ids[i], info) == noErr
                && toStdString(info.cfNameString) == setting.parameterName) {
                id = ids[i];
                found = true;
            }
        }
        if (!found) {
            if (setting.option.empty())
                continue;
            error = "the plug-in has no parameter '" + setting.parameterName + "' (" + setting.option + ")";
            return false;
        }
        if (unit.setParameter(id, kAudioUnitScope_Global, 0, setting.value) != noErr) {
            error = "the plug-in has no parameter " + std::to_string(id) + " (" + setting.option + ")";
            return false;
        }
    }
    return true;
}

bool selectFactoryPreset(AUHostInstance& unit, const std::string& name, std::string& error)
{
    CFArrayRef presets = nullptr;
    if (unit.get(kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, presets) != noErr) {
        error = "the plug-in has no factory presets";
        return false;
    }
    CFRef<CFArrayRef> held(presets);
    std::string names;
    for (CFIndex i = 0; i < CFArrayGetCount(presets); ++i) {
        const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
        const std::string presetName = toStdString(preset->presetName);
        if (presetName == name) {
            if (unit.set(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, *preset) == noErr)
                return true;
            error = "the plug-in refused preset '" + name + "'";
            return false;
        }
        names += (names.empty() ? "" : ", ") + presetName;
    }
    error = "no factory preset '" + name + "' (there are: " + names + ")";
    return false;
}

bool restoreState(AUHostInstance& unit, const std::string& path, std::string& error)
{
    std::string problem;
    CFRef<CFPropertyListRef> state(createPropertyListFromFile(path, &problem));
    if (!state) {
        error = "'" + path + "' is not a readable property list: " + problem;
        return false;
    }
    const CFPropertyListRef list = state.get();
    const OSStatus status = unit.set(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, list);
    if (status != noErr) {
        error = "'" + path + "' is not a preset of this plug-in (status " + std::to_string(status) + ")";
        return false;
    }
    return true;
}

bool saveState(AUHostInstance& unit, const std::string& path, std::string& error)
{
    CFPropertyListRef state = nullptr;
    if (unit.get(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, state) != noErr) {
        error = "the plug-in gave no state to save";
        return false;
    }
    CFRef<CFPropertyListRef> held(state);
    if (!writePropertyListToFile(state, path)) {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

void printInfo(const AUBundleComponent& component, AUHostInstance& unit)
{
    const AudioComponentDescription& d = component.description();
    std::printf("component  %s  '%s' '%s' '%s'  version 0x%08x\n", component.name().c_str(),
                stringFromFourCharCode(d.componentType).c_str(), stringFromFourCharCode(d.componentSubType).c_str(),
                stringFromFourCharCode(d.componentManufacturer).c_str(), component.version());
    std::printf("bundle     %s\n", component.bundlePath().c_str());

    AUChannelInfo channels[8] = {};
    UInt32 size = sizeof channels;
    std::printf("channels  ");
    if (unit.getProperty(kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, channels, &size) == noErr)
        for (UInt32 i = 0; i < size / sizeof(AUChannelInfo); ++i)
            std::printf(" %d>%d", channels[i].inChannels, channels[i].outChannels);
    std::printf("\n\nparameters\n");

    const std::vector<AudioUnitParameterID> ids = parameterIds(unit);
    for (size_t i = 0; i < ids.size(); ++i) {
        AudioUnitParameterInfo info{};
        if (unit.get(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, ids[i], info) != noErr)
            continue;
        Float32 value = 0.0f;
        unit.getParameter(ids[i], kAudioUnitScope_Global, 0, &value);
        std::string texts;
        CFArrayRef valueStrings = nullptr;
        if (unit.get(kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, ids[i], valueStrings) == noErr) {
            for (CFIndex k = 0; k < CFArrayGetCount(valueStrings); ++k)
                texts += (k == 0 ? "" : "|") + toStdString(static_cast<CFStringRef>(CFArrayGetValueAtIndex(valueStrings, k)));
            CFRelease(valueStrings);
        } else if (info.unit == kAudioUnitParameterUnit_Boolean) {
            texts = "off|on";
        }
        std::printf("  %2u  %-13s %8g .. %-8g %-4s default %-6g now %-8g %s\n", ids[i], info.name,
                    static_cast<double>(info.minValue), static_cast<double>(info.maxValue),
                    toStdString(info.unitName).c_str(), static_cast<double>(info.defaultValue),
                    static_cast<double>(value), texts.c_str());
    }

    std::printf("\nfactory presets\n");
    CFArrayRef presets = nullptr;
    if (unit.get(kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, presets) == noErr) {
        for (CFIndex i = 0; i < CFArrayGetCount(presets); ++i) {
            const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
            std::printf("  %2d  %s\n", preset->presetNumber, toStdString(preset->presetName).c_str());
        }
        CFRelease(presets);
    }
}

int runAU(const std::vector<std::string>& args)
{
    if (!args.empty() && args.front() == "wrap")
        return runAUWrap(std::vector<std::string>(args.begin() + 1, args.end()));
    CommandLine line;
    std::string error;
    if (!line.parse(args, auOptions(), error))
        return usageError(error);
    if (line.has("--help") || line.positional().empty()) {
        printAUHelp();
        return line.has("--help") ? exitSuccess : exitUsage;
    }
    const std::string action = line.positional().front();
    if (action != "info" && action != "render" && action != "edit")
        return usageError("unknown action '" + action + "'; expected info, render, edit or wrap");
    const bool isEdit = action == "edit";
    const bool isRender = action == "render";
    if (line.positional().size() > (isRender || isEdit ? 2u : 1u))
        return usageError("unexpected argument '" + line.positional().back() + "'");
    const bool isDemo = isRender && line.positional().size() == 1;
    long afterMs = 1000;
    if (line.has("--after-ms") && !parseIntegerOption("--after-ms", line.value("--after-ms"), 0, 600000, afterMs, error))
        return usageError(error);
    if (line.has("--screenshot") && line.value("--screenshot").empty())
        return usageError("option '--screenshot' needs a file name");

    std::vector<Setting> settings;
    if (!readSettings(line, isDemo, settings, error))
        return usageError(error);
    long blockSize = defaultBlockSize;
    if (line.has("--block") && !parseIntegerOption("--block", line.value("--block"), 1, 4096, blockSize, error))
        return usageError(error);

    PluginLocation where;
    const char* home = std::getenv("HOME");
    const bool found = line.value("--plugin").empty()
                           ? locateDefaultPlugin(KELVANE_BUILT_BUNDLE, home != nullptr ? home : "", where, error)
                           : locatePlugin(line.value("--plugin"), where, error);
    if (!found)
        return failure(error);
    if (where.bundlePath.empty())
        return failure("'" + where.executablePath + "' is not inside a bundle; an Audio Unit needs its bundle");

    AUBundleComponent component;
    if (!component.load(where.bundlePath, error))
        return failure(error);
    std::unique_ptr<AUHostInstance> unit = component.createInstance();
    if (const OSStatus status = unit->open(); status != noErr)
        return failure("the Audio Unit in '" + where.bundlePath + "' failed to open (status " + std::to_string(status) + ")");

    if (line.has("--preset") && !selectFactoryPreset(*unit, line.value("--preset"), error))
        return failure(error);
    if (line.has("--state") && !restoreState(*unit, line.value("--state"), error))
        return failure(error);
    if (!applySettings(*unit, settings, error))
        return failure(error);
    if (line.has("--save-state")) {
        if (!saveState(*unit, line.value("--save-state"), error))
            return failure(error);
        std::printf("wrote     %s (state)\n", line.value("--save-state").c_str());
    }

    if (isEdit) {
        AudioData input = synthesiseDemoLoop();
        if (line.positional().size() == 2 && !readAudioFile(line.positional()[1], input, error))
            return failure(error);
        EditorSessionOptions options;
        options.title = component.name();
        options.screenshotPath = line.value("--screenshot");
        options.screenshotAfterMs = static_cast<int>(afterMs);
        std::printf("editing   %s through its Audio Unit view\n", component.name().c_str());
        std::fflush(stdout);
        if (!editThroughAudioUnit(*unit, input, options, error))
            return failure(error);
        if (!options.screenshotPath.empty())
            std::printf("wrote     %s\n", options.screenshotPath.c_str());
        return exitSuccess;
    }
    if (!isRender) {
        printInfo(component, *unit);
        return exitSuccess;
    }

    AudioData input;
    std::string outputPath;
    if (isDemo) {
        input = synthesiseDemoLoop();
        outputPath = line.has("-o") ? line.value("-o") : demoOutputFile;
    } else {
        const std::string inputPath = line.positional()[1];
        if (!readAudioFile(inputPath, input, error))
            return failure(error);
        const size_t dot = inputPath.rfind('.');
        outputPath = line.has("-o") ? line.value("-o")
                                    : (dot == std::string::npos ? inputPath : inputPath.substr(0, dot)) + "-kelvane-au"
                                          + (dot == std::string::npos ? "" : inputPath.substr(dot));
    }
    AudioData output;
    if (!renderThroughAudioUnit(*unit, input, static_cast<int>(blockSize), output, error))
        return failure(error);
    output.format = outputFormatFor(outputPath, output.format);
    if (!writeAudioFile(outputPath, output, error))
        return failure(error);
    std::printf("rendered  %lld frames of %d channel%s through the Audio Unit in blocks of %ld\nwrote     %s\n",
                static_cast<long long>(output.numFrames()), output.numChannels(), output.numChannels() == 1 ? "" : "s",
                blockSize, outputPath.c_str());
    return exitSuccess;
}

const SubCommandRegistration registration({"au", "au info|render|edit|wrap [IN] [-o OUT] [--preset NAME] [--state FILE] ...",
                                           "the plug-in through its Audio Unit interface", runAU, printAUHelp});

} // namespace

} // namespace kelvane
