// `kelvane edit`: the plug-in's editor in a window of its own, as a Linux VST host shows it, with the
// demo loop (or a file) playing through the effect in real time so that its meters move.

#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/CommandLine.h"
#include "tools/kelvane/DemoLoop.h"
#include "tools/kelvane/HostedPlugin.h"
#include "tools/kelvane/SubCommand.h"
#include "tools/kelvane/edit/AudioLoop.h"
#include "tools/kelvane/edit/EditorSession.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane {

namespace {

constexpr int playBlockSize = 512;
constexpr int editIdleIntervalMs = 45;          // what Linux hosts do: about every 40 to 50 ms
constexpr uint32_t kelvaneStateMagic = 0x21324356;

const std::vector<OptionSpec>& editOptions()
{
    static const std::vector<OptionSpec> options = {
        {"--size", "WxH", "open the editor at this size (the plug-in keeps its own proportions)"},
        {"--screenshot", "PNG", "write what the window shows into PNG, then quit"},
        {"--after-ms", "N", "how long to play before the screenshot (default 1000)"},
        {"--plugin", "PATH", "bundle directory or .so (default: the built bundle, then ~/.vst/Kelvane.vst)"},
        {"--help", "", "show this help"},
    };
    return options;
}

void printEditHelp()
{
    std::printf("usage: kelvane edit [FILE] [--size WxH] [--screenshot PNG [--after-ms N]] [--plugin PATH]\n\n"
                "Opens the plug-in's editor in a window as a Linux VST host does and plays FILE (or the\n"
                "built-in demo drum loop) through the effect in real time, looping, so its meters move;\n"
                "nothing is sent to an audio device. Parameter changes made in the editor are printed as\n"
                "the host receives them. Close the window (or press Ctrl-C) to quit.\n\n%s",
                describeOptions(editOptions()).c_str());
}

/** Sets the editor size the effect opens its editor at: Kelvane keeps it in its state chunk ("uiWidthNew",
    "uiHeightNew"), and VST 2.4 has no call by which a host asks an editor for a size, so the host
    writes it into the state before opening the editor, as restoring a session does. False when the
    effect's state is not Kelvane's. */
bool setEditorSizeInState(q9framework::VSTPlugIn& plugIn, int width, int height)
{
    void* data = nullptr;
    const int32_t size = plugIn.getChunk(true, &data);
    if (size < 8 || data == nullptr)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t magic = 0;
    int32_t length = 0;
    std::memcpy(&magic, bytes, 4);
    std::memcpy(&length, bytes + 4, 4);
    if (magic != kelvaneStateMagic || length < 1 || length > size - 8)
        return false;
    std::string xml(reinterpret_cast<const char*>(bytes + 8), strnlen(reinterpret_cast<const char*>(bytes + 8), static_cast<size_t>(length)));
    for (const auto& [name, value] : {std::pair<std::string, int>{"uiWidthNew", width}, {"uiHeightNew", height}}) {
        const std::string key = name + "=\"";
        const size_t at = xml.find(key);
        if (at == std::string::npos)
            return false;
        const size_t start = at + key.size();
        const size_t end = xml.find('"', start);
        if (end == std::string::npos)
            return false;
        xml.replace(start, end - start, std::to_string(value));
    }
    std::vector<unsigned char> chunk(8 + xml.size() + 1, 0);
    const auto newLength = static_cast<int32_t>(xml.size() + 1);
    std::memcpy(chunk.data(), &magic, 4);
    std::memcpy(chunk.data() + 4, &newLength, 4);
    std::memcpy(chunk.data() + 8, xml.data(), xml.size());
    plugIn.setChunk(true, static_cast<int32_t>(chunk.size()), chunk.data());
    return true;
}

/** The effect's editor through the VST 2.4 interface, with the editor's calls to its host printed. */
class VSTHostedEditor : public HostedEditor, public EditorObserver {
public:
    explicit VSTHostedEditor(HostedPlugin& plugin) : hosted(plugin) { hosted.host().setEditorObserver(this); }
    ~VSTHostedEditor() override { hosted.host().setEditorObserver(nullptr); }

    bool open(HostWindow& hostWindow, std::string& error) override
    {
        window = &hostWindow;
        if ((hosted.effect().flags & effFlagsHasEditor) == 0) {
            error = "the plug-in has no editor";
            return false;
        }
        try {
            // Linux hosts pass the window in `ptr` and their Display* in `value`.
            hosted.plugIn().openEditor(reinterpret_cast<void*>(hostWindow.window()),
                                       reinterpret_cast<VstIntPtr>(hostWindow.display()));
        } catch (const std::exception&) {
            error = "the plug-in could not open its editor";
            return false;
        }
        return true;
    }
    bool getSize(int& width, int& height) override
    {
        int32_t w = 0, h = 0;
        if (!hosted.plugIn().getEditorRect(w, h) || w < 1 || h < 1)
            return false;
        width = w;
        height = h;
        return true;
    }
    void idle() override
    {
        hosted.plugIn().dispatch(effEditIdle);
        int w = 0, h = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            std::swap(w, requestedWidth);
            std::swap(h, requestedHeight);
        }
        if (w > 0 && h > 0 && window != nullptr)
            window->setSize(w, h);
    }
    int idleIntervalMs() const override { return editIdleIntervalMs; }
    void reportChanges() override
    {
        std::vector<Change> taken;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            taken.swap(changes);
        }
        q9framework::VSTPlugIn& plugIn = hosted.plugIn();
        for (const Change& c : taken) {
            const std::string name = plugIn.dispatchForText(effGetParamName, c.index, 63);
            if (c.edit == Edit::begin)
                std::printf("edit    %-14s begins\n", name.c_str());
            else if (c.edit == Edit::end)
                std::printf("edit    %-14s ends\n", name.c_str());
            else {
                const std::string label = plugIn.dispatchForText(effGetParamLabel, c.index, 63);
                std::printf("value   %-14s %.6f  %s%s%s\n", name.c_str(), static_cast<double>(c.value),
                            plugIn.getParameterDisplay(c.index).c_str(), label.empty() ? "" : " ", label.c_str());
            }
        }
        std::fflush(stdout);
    }
    void close() override
    {
        hosted.plugIn().closeEditor();
        window = nullptr;
    }

    // EditorObserver: from the effect, on its editor's thread.
    void parameterEdited(Edit edit, int32_t index, float value) override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        changes.push_back({edit, index, value});
    }
    void sizeRequested(int32_t width, int32_t height) override
    {
        // Applied at the next idle: the effect may ask from inside its own open or resize code.
        const std::lock_guard<std::mutex> lock(mutex);
        requestedWidth = width;
        requestedHeight = height;
    }

private:
    struct Change {
        Edit edit;
        int32_t index;
        float value;
    };
    HostedPlugin& hosted;
    HostWindow* window = nullptr;
    std::mutex mutex;
    std::vector<Change> changes;
    int requestedWidth = 0;
    int requestedHeight = 0;
};

int runEdit(const std::vector<std::string>& args)
{
    CommandLine line;
    std::string error;
    auto usageError = [](const std::string& message) {
        std::fprintf(stderr, "kelvane edit: %s (see kelvane edit --help)\n", message.c_str());
        return exitUsage;
    };
    auto failure = [](const std::string& message) {
        std::fprintf(stderr, "kelvane edit: %s\n", message.c_str());
        return exitFailure;
    };
    if (!line.parse(args, editOptions(), error))
        return usageError(error);
    if (line.has("--help")) {
        printEditHelp();
        return exitSuccess;
    }
    if (line.positional().size() > 1)
        return usageError("expected one audio file, got " + std::to_string(line.positional().size()));
    int width = 0, height = 0;
    if (line.has("--size") && !parseSizeOption(line.value("--size"), width, height, error))
        return usageError(error);
    long afterMs = 1000;
    if (line.has("--after-ms") && !parseIntegerOption("--after-ms", line.value("--after-ms"), 0, 600000, afterMs, error))
        return usageError(error);
    if (line.has("--screenshot") && line.value("--screenshot").empty())
        return usageError("option '--screenshot' needs a file name");

    HostedPlugin hosted;
    if (!hosted.load(line.value("--plugin"), error))
        return failure(error);
    AudioData input;
    std::string inputName = "the built-in demo drum loop";
    if (line.positional().empty()) {
        input = synthesiseDemoLoop();
    } else {
        inputName = line.positional().front();
        if (!readAudioFile(inputName, input, error))
            return failure(error);
        if (input.numFrames() == 0 || input.numChannels() > 2)
            return failure("'" + inputName + "' is not mono or stereo audio");
    }
    q9framework::VSTPlugIn& plugIn = hosted.plugIn();
    const AEffect& effect = hosted.effect();
    if (width > 0 && !setEditorSizeInState(plugIn, width, height))
        return failure("the plug-in keeps no editor size in its state; --size works with Kelvane only");

    hosted.host().prepare(input.sampleRate, input.numChannels());
    plugIn.setSampleRate(static_cast<float>(input.sampleRate));
    plugIn.setBlockSize(playBlockSize);
    plugIn.dispatch(effMainsChanged, 0, 1);
    plugIn.setResumed(true);
    AudioLoop audio(input, playBlockSize, effect.numInputs, effect.numOutputs);
    audio.start([&hosted](float** inputs, float** outputs, int frames) {
        hosted.plugIn().processReplacing(inputs, outputs, frames);
        hosted.host().advance(frames);
    });

    const std::string name = plugIn.dispatchForText(effGetEffectName, 0, 63);
    std::printf("editing   %s  (%s)\nplaying   %s, looping\n", name.c_str(), hosted.location().executablePath.c_str(),
                inputName.c_str());
    std::fflush(stdout);
    bool ok = false;
    {
        VSTHostedEditor editor(hosted);
        EditorSessionOptions options;
        options.title = name.empty() ? "kelvane edit" : name;
        options.screenshotPath = line.value("--screenshot");
        options.screenshotAfterMs = static_cast<int>(afterMs);
        ok = runEditorSession(editor, options, error);
    }
    // Audio stops before the effect is switched off; effClose follows when `hosted` goes.
    audio.stop();
    plugIn.dispatch(effMainsChanged, 0, 0);
    plugIn.setResumed(false);
    if (!ok)
        return failure(error);
    if (!line.value("--screenshot").empty())
        std::printf("wrote     %s\n", line.value("--screenshot").c_str());
    return exitSuccess;
}

const SubCommandRegistration registration({"edit", "edit [FILE] [--size WxH] [--screenshot PNG [--after-ms N]]",
                                           "the plug-in's editor in a window, with audio playing through it",
                                           runEdit, printEditHelp});

} // namespace

} // namespace kelvane
