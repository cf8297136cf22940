// `kelvane render`: an audio file (or the built-in demo loop) through the plug-in, block by block,
// as a VST host renders a track offline.

#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/CommandLine.h"
#include "tools/kelvane/DemoLoop.h"
#include "tools/kelvane/HostedPlugin.h"
#include "tools/kelvane/ParameterUnits.h"
#include "tools/kelvane/ProgressBar.h"
#include "tools/kelvane/SignalStats.h"
#include "tools/kelvane/SubCommand.h"
#include "tools/kelvane/WaveformPlot.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

namespace {

constexpr VstInt32 kelvaneUniqueId = 0x4B764C6E;     // "KvLn"
constexpr long defaultBlockSize = 512;
constexpr long maxBlockSize = 65536;
// The demo's setting: punchier hits, drier tails, so the change is plain to hear and to see; the
// gain takes back what the sharper hits add, so the result peaks near full scale, not above it.
constexpr double demoAttackPercent = 60.0;
constexpr double demoReleasePercent = -60.0;
constexpr double demoGainDb = -4.5;
const char* const demoInputFile = "kelvane-demo-in.wav";
const char* const demoOutputFile = "kelvane-demo-out.wav";
const char* const demoPlotFile = "kelvane-demo.png";

const std::vector<OptionSpec>& renderOptions()
{
    static const std::vector<OptionSpec> options = {
        {"-o", "OUT", "output file (default: IN's name with -kelvane); its extension may pick another container"},
        {"--attack", "PCT", "Attack, -100 to 100 % (more or less punch; default 0)"},
        {"--release", "PCT", "Release, -100 to 100 % (longer or shorter sustain; default 0)"},
        {"--gain", "DB", "output Gain, -9 to 9 dB (default 0)"},
        {"--drive", "PCT", "Drive into the soft clipper, 0 to 100 % (default 0)"},
        {"--attack-time", "sharp|mid|soft", "time character of the attack (default mid)"},
        {"--release-time", "sharp|mid|soft", "time character of the release (default mid)"},
        {"--bypass", "", "switch the effect to bypass"},
        {"--block", "N", "block size in frames, 1 to 65536 (default 512)"},
        {"--plot", "PNG", "draw input and output waveforms into a PNG"},
        {"--plugin", "PATH", "bundle directory or .so (default: the built bundle, then ~/.vst/Kelvane.vst)"},
        {"--help", "", "show this help"},
    };
    return options;
}

void printRenderHelp()
{
    std::printf("usage: kelvane render [IN] [-o OUT] [options]\n\n"
                "Renders IN through the Kelvane plug-in as a VST host does and prints the level of each\n"
                "channel before and after. Without IN, renders a built-in stereo drum loop with Attack %+.0f %%,\n"
                "Release %+.0f %% and Gain %+.1f dB, writing %s, %s and %s here.\n\n%s",
                demoAttackPercent, demoReleasePercent, demoGainDb, demoInputFile, demoOutputFile, demoPlotFile,
                describeOptions(renderOptions()).c_str());
}

/** One parameter chosen on the command line. */
struct Setting {
    int index;
    float value;
};

/** Reads the parameter options into normalised values; false with `error` on the first bad one. */
bool readSettings(const CommandLine& line, bool isDemo, std::vector<Setting>& settings, std::string& error)
{
    struct NumberOption {
        const char* name;
        int index;
        ParameterUnit unit;
        float (*normalise)(double);
        std::optional<double> demoDefault;
    };
    const NumberOption numbers[] = {
        {"--attack", attackParameter, attackReleaseUnit(), normalisedFromPercentBipolar, demoAttackPercent},
        {"--release", releaseParameter, attackReleaseUnit(), normalisedFromPercentBipolar, demoReleasePercent},
        {"--gain", gainParameter, gainUnit(), normalisedFromGainDb, demoGainDb},
        {"--drive", driveParameter, driveUnit(), normalisedFromDrivePercent, std::nullopt},
    };
    for (const auto& option : numbers) {
        double v = 0.0;
        if (line.has(option.name)) {
            if (!parseNumberOption(option.name, line.value(option.name), option.unit.minimum, option.unit.maximum,
                                   option.unit.unit, v, error))
                return false;
        } else if (isDemo && option.demoDefault) {
            v = *option.demoDefault;
        } else {
            continue;
        }
        settings.push_back({option.index, option.normalise(v)});
    }
    for (const auto& [name, index] : {std::pair<const char*, int>{"--attack-time", attackTimeParameter},
                                      std::pair<const char*, int>{"--release-time", releaseTimeParameter}}) {
        if (!line.has(name))
            continue;
        float v = 0.0f;
        if (!normalisedFromTimeCharacter(line.value(name), v)) {
            error = std::string("option '") + name + "' expects sharp, mid or soft, got '" + line.value(name) + "'";
            return false;
        }
        settings.push_back({index, v});
    }
    if (line.has("--bypass"))
        settings.push_back({bypassParameter, 1.0f});
    return true;
}

std::string defaultOutputPath(const std::string& input)
{
    namespace fs = std::filesystem;
    const fs::path in(input);
    fs::path out = in.parent_path() / (in.stem().string() + "-kelvane" + in.extension().string());
    return out.string();
}

std::string channelName(int channel, int numChannels)
{
    if (numChannels == 2)
        return channel == 0 ? "1 left" : "2 right";
    return std::to_string(channel + 1);
}

std::string formatDuration(double seconds)
{
    char text[32];
    if (seconds < 1.0)
        std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
    else
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

/** Renders `input` through the effect into `output` block by block; returns the wall time taken. */
double render(HostedPlugin& hosted, const AudioData& input, AudioData& output, int blockSize)
{
    q9framework::VSTPlugIn& plugIn = hosted.plugIn();
    const AEffect& effect = hosted.effect();
    const int fileChannels = input.numChannels();
    const int64_t numFrames = input.numFrames();

    // A mono file feeds every input of a stereo effect, as a host does with a mono track on a
    // stereo insert; inputs beyond a stereo file's channels hear silence.
    const std::vector<float> silence(static_cast<size_t>(numFrames), 0.0f);
    std::vector<const float*> inputSources(static_cast<size_t>(effect.numInputs));
    for (int i = 0; i < effect.numInputs; ++i)
        inputSources[static_cast<size_t>(i)] = i < fileChannels ? input.channels[static_cast<size_t>(i)].data()
                                               : fileChannels == 1 ? input.channels[0].data() : silence.data();
    std::vector<std::vector<float>> outputBuffers(static_cast<size_t>(effect.numOutputs),
                                                  std::vector<float>(static_cast<size_t>(numFrames), 0.0f));
    std::vector<float*> inputs(inputSources.size()), outputs(outputBuffers.size());

    ProgressBar progress(stderr);
    const auto started = std::chrono::steady_clock::now();
    for (int64_t position = 0; position < numFrames; position += blockSize) {
        const auto frames = static_cast<int32_t>(std::min<int64_t>(blockSize, numFrames - position));
        for (size_t i = 0; i < inputs.size(); ++i)
            inputs[i] = const_cast<float*>(inputSources[i]) + position;   // effects never write their inputs
        for (size_t i = 0; i < outputs.size(); ++i)
            outputs[i] = outputBuffers[i].data() + position;
        plugIn.processReplacing(inputs.data(), outputs.data(), frames);
        hosted.host().advance(frames);
        progress.update(static_cast<double>(position + frames) / static_cast<double>(numFrames));
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    progress.finish();

    output.sampleRate = input.sampleRate;
    output.format = input.format;             // the caller may change the container for the file name
    output.channels.assign(outputBuffers.begin(), outputBuffers.begin() + fileChannels);
    return elapsed;
}

void printLevels(const AudioData& input, const AudioData& output)
{
    std::printf("\n%-12s %18s %18s %18s\n", "", "peak dBFS", "RMS dBFS", "crest dB");
    std::printf("%-12s %9s %8s %9s %8s %9s %8s\n", "channel", "in", "out", "in", "out", "in", "out");
    for (int c = 0; c < input.numChannels(); ++c) {
        const auto& in = input.channels[static_cast<size_t>(c)];
        const auto& out = output.channels[static_cast<size_t>(c)];
        const ChannelStats a = measureChannel(in.data(), in.size());
        const ChannelStats b = measureChannel(out.data(), out.size());
        std::printf("%-12s %9s %8s %9s %8s %9s %8s\n", channelName(c, input.numChannels()).c_str(), formatDb(a.peakDb()).c_str(),
                    formatDb(b.peakDb()).c_str(), formatDb(a.rmsDb()).c_str(), formatDb(b.rmsDb()).c_str(),
                    formatDb(a.crestDb()).c_str(), formatDb(b.crestDb()).c_str());
    }
}

int runRender(const std::vector<std::string>& args)
{
    CommandLine line;
    std::string error;
    auto usageError = [](const std::string& message) {
        std::fprintf(stderr, "kelvane render: %s (see kelvane render --help)\n", message.c_str());
        return exitUsage;
    };
    auto failure = [](const std::string& message) {
        std::fprintf(stderr, "kelvane render: %s\n", message.c_str());
        return exitFailure;
    };
    if (!line.parse(args, renderOptions(), error))
        return usageError(error);
    if (line.has("--help")) {
        printRenderHelp();
        return exitSuccess;
    }
    if (line.positional().size() > 1)
        return usageError("expected one input file, got " + std::to_string(line.positional().size()) + " ('"
                          + line.positional()[1] + "' is extra)");
    const bool isDemo = line.positional().empty();

    std::vector<Setting> settings;
    if (!readSettings(line, isDemo, settings, error))
        return usageError(error);
    long blockSize = defaultBlockSize;
    if (line.has("--block") && !parseIntegerOption("--block", line.value("--block"), 1, maxBlockSize, blockSize, error))
        return usageError(error);
    for (const char* option : {"-o", "--plot"})
        if (line.has(option) && line.value(option).empty())
            return usageError(std::string("option '") + option + "' needs a file name");

    // Load the plug-in before touching any file, so a missing plug-in leaves nothing half-written.
    HostedPlugin hosted;
    if (!hosted.load(line.value("--plugin"), error))
        return failure(error);
    const AEffect& effect = hosted.effect();
    if (!settings.empty() && (effect.uniqueID != kelvaneUniqueId || effect.numParams < numKelvaneParameters))
        return failure("'" + hosted.location().executablePath + "' is not Kelvane (unique ID "
                       + formatUniqueId(effect.uniqueID) + "); its parameters cannot be set by name");

    AudioData input;
    std::string inputName, outputPath, plotPath;
    if (isDemo) {
        input = synthesiseDemoLoop();
        inputName = "built-in demo drum loop";
        outputPath = line.has("-o") ? line.value("-o") : demoOutputFile;
        plotPath = line.has("--plot") ? line.value("--plot") : demoPlotFile;
        if (!writeAudioFile(demoInputFile, input, error))
            return failure(error);
    } else {
        inputName = line.positional().front();
        if (!readAudioFile(inputName, input, error))
            return failure(error);
        outputPath = line.has("-o") ? line.value("-o") : defaultOutputPath(inputName);
        plotPath = line.value("--plot");
    }
    if (input.numFrames() == 0)
        return failure("'" + inputName + "' holds no audio");
    if (input.numChannels() > 2)
        return failure("'" + inputName + "' has " + std::to_string(input.numChannels())
                       + " channels; only mono and stereo files can be processed");
    if (input.numChannels() > effect.numOutputs || effect.numInputs < 1)
        return failure("the plug-in has " + std::to_string(effect.numInputs) + " inputs and "
                       + std::to_string(effect.numOutputs) + " outputs; it cannot process '" + inputName + "'");

    q9framework::VSTPlugIn& plugIn = hosted.plugIn();
    hosted.host().prepare(input.sampleRate, input.numChannels());
    plugIn.setSampleRate(static_cast<float>(input.sampleRate));
    plugIn.setBlockSize(static_cast<int32_t>(blockSize));
    for (const Setting& s : settings)
        plugIn.setParameter(s.index, s.value);

    std::string settingsText;
    for (int i = 0; i < effect.numParams; ++i)
        settingsText += (i == 0 ? "" : "   ") + plugIn.dispatchForText(effGetParamName, i, 63) + " "
                        + plugIn.getParameterDisplay(i);
    std::printf("plug-in   %s %s  (%s)\n", plugIn.dispatchForText(effGetEffectName, 0, 63).c_str(),
                formatVendorVersion(plugIn.dispatch(effGetVendorVersion)).c_str(), hosted.location().executablePath.c_str());
    std::printf("input     %s: %d channel%s, %d Hz, %s\n", inputName.c_str(), input.numChannels(),
                input.numChannels() == 1 ? "" : "s", input.sampleRate, formatDuration(input.durationSeconds()).c_str());
    std::printf("settings  %s\n", settingsText.c_str());

    plugIn.dispatch(effMainsChanged, 0, 1);
    plugIn.setResumed(true);
    AudioData output;
    const double elapsed = render(hosted, input, output, static_cast<int>(blockSize));
    plugIn.dispatch(effMainsChanged, 0, 0);
    plugIn.setResumed(false);

    printLevels(input, output);
    const double realTime = elapsed > 0.0 ? input.durationSeconds() / elapsed : 0.0;
    std::printf("\nrendered  %s in %s with blocks of %ld: %.0fx real time\n", formatDuration(input.durationSeconds()).c_str(),
                formatDuration(elapsed).c_str(), blockSize, realTime);

    output.format = outputFormatFor(outputPath, output.format);
    if (!writeAudioFile(outputPath, output, error))
        return failure(error);
    if (isDemo)
        std::printf("wrote     %s (input)\n", demoInputFile);
    std::printf("wrote     %s\n", outputPath.c_str());
    if (!plotPath.empty()) {
        const PlotLabels labels{isDemo ? "Kelvane demo drum loop" : std::filesystem::path(inputName).filename().string(), settingsText};
        if (!plotWaveforms(plotPath, input, output, labels, error))
            return failure(error);
        std::printf("wrote     %s\n", plotPath.c_str());
    }
    return exitSuccess;
}

const SubCommandRegistration registration({"render", "render [IN] [-o OUT] [--attack PCT] [--release PCT] [--gain DB] ...",
                                           "render an audio file (or the built-in demo) through the plug-in",
                                           runRender, printRenderHelp});

} // namespace

} // namespace kelvane
