// `kelvane au edit`: the editor as an Audio Unit host shows it (CocoaUI property, view factory, a view
// in the host's window), with the same window, audio and screenshot as `kelvane edit`.

#include "tools/au/programs/AUEdit.h"

#include "tools/au/AUHostedView.h"
#include "tools/kelvane/edit/AudioLoop.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace kelvane {

namespace {

using namespace q9framework::cf;

constexpr int playBlockSize = 512;

/** The view, with the component's event-loop timers fired at their interval (its idle timer, which
    idles the effect's editor) and the parameter notifications the host received printed. */
class AUHostedEditor : public HostedEditor {
public:
    explicit AUHostedEditor(AUHostInstance& instance) : unit(instance), reported(instance.events.size()) {}

    bool open(HostWindow& window, std::string& error) override
    {
        view = AUHostedView::create(unit, window.window(), error);
        return view != nullptr;
    }
    bool getSize(int& width, int& height) override
    {
        if (!view || view->width() < 1 || view->height() < 1)
            return false;
        width = view->width();
        height = view->height();
        return true;
    }
    void idle() override { unit.fireTimers(); }
    int idleIntervalMs() const override
    {
        for (const AUHostInstance::Timer& timer : unit.timers)
            if (timer.installed && timer.interval > 0.0)
                return static_cast<int>(std::lround(timer.interval * 1000.0));
        return 25;
    }
    void reportChanges() override
    {
        for (; reported < unit.events.size(); ++reported) {
            const AudioUnitEvent& event = unit.events[reported];
            if (event.mEventType == kAudioUnitEvent_PropertyChange)
                continue;
            const AudioUnitParameterID id = event.mArgument.mParameter.mParameterID;
            const std::string name = parameterName(id);
            if (event.mEventType == kAudioUnitEvent_BeginParameterChangeGesture) {
                std::printf("gesture %-14s begins\n", name.c_str());
            } else if (event.mEventType == kAudioUnitEvent_EndParameterChangeGesture) {
                std::printf("gesture %-14s ends\n", name.c_str());
            } else {
                Float32 value = 0.0f;
                unit.getParameter(id, kAudioUnitScope_Global, 0, &value);
                AudioUnitParameterStringFromValue text{id, &value, nullptr};
                std::string shown;
                if (unit.get(kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, id, text) == noErr
                    && text.outString != nullptr) {
                    shown = toStdString(text.outString);
                    CFRelease(text.outString);
                }
                std::printf("value   %-14s %g%s%s\n", name.c_str(), static_cast<double>(value), shown.empty() ? "" : "  ",
                            shown.c_str());
            }
        }
        std::fflush(stdout);
    }
    void close() override { view.reset(); }

private:
    std::string parameterName(AudioUnitParameterID id)
    {
        auto found = names.find(id);
        if (found != names.end())
            return found->second;
        AudioUnitParameterInfo info{};
        std::string name = std::to_string(id);
        if (unit.get(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, info) == noErr) {
            name = info.cfNameString != nullptr ? toStdString(info.cfNameString) : std::string(info.name);
            if (info.cfNameString != nullptr && (info.flags & kAudioUnitParameterFlag_CFNameRelease) != 0)
                CFRelease(info.cfNameString);
        }
        return names[id] = name;
    }

    AUHostInstance& unit;
    std::unique_ptr<AUHostedView> view;
    size_t reported;
    std::map<AudioUnitParameterID, std::string> names;
};

/** What the audio thread hands the unit's input callback: the loop's current block. */
struct LoopInput {
    float** channels = nullptr;
};

OSStatus supplyLoopInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 frames,
                         AudioBufferList* data)
{
    const auto& input = *static_cast<LoopInput*>(refCon);
    for (UInt32 c = 0; c < data->mNumberBuffers; ++c) {
        auto* out = static_cast<float*>(data->mBuffers[c].mData);
        const float* from = input.channels[c < 2 ? c : 1];
        for (UInt32 i = 0; i < frames; ++i)
            out[i] = from[i];
    }
    return noErr;
}

std::string failed(const char* step, OSStatus status)
{
    return std::string("the Audio Unit refused ") + step + " (status " + std::to_string(status) + ")";
}

} // namespace

bool editThroughAudioUnit(AUHostInstance& unit, const AudioData& input, const EditorSessionOptions& options, std::string& error)
{
    const auto channels = static_cast<UInt32>(input.numChannels());
    if (channels < 1 || channels > 2) {
        error = "only mono and stereo audio can be played";
        return false;
    }
    const AudioStreamBasicDescription format{static_cast<Float64>(input.sampleRate), kAudioFormatLinearPCM,
                                             kAudioFormatFlagsAudioUnitCanonical, 4, 1, 4, channels, 32, 0};
    LoopInput loopInput;
    OSStatus status = noErr;
    if ((status = unit.set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, format)) != noErr
        || (status = unit.set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, format)) != noErr
        || (status = unit.set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0,
                              static_cast<UInt32>(playBlockSize))) != noErr
        || (status = unit.set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                              AURenderCallbackStruct{&supplyLoopInput, &loopInput})) != noErr) {
        error = failed("the playing format", status);
        return false;
    }
    if ((status = unit.initialize()) != noErr) {
        error = failed("to initialise", status);
        return false;
    }

    // The render thread's buffer list, made here: the audio thread allocates nothing.
    struct StereoBufferList {
        UInt32 mNumberBuffers;
        AudioBuffer mBuffers[2];
    } list{};
    Float64 sampleTime = 0.0;
    AudioLoop audio(input, playBlockSize, static_cast<int>(channels), static_cast<int>(channels));
    audio.start([&](float** inputs, float** outputs, int frames) {
        loopInput.channels = inputs;
        list.mNumberBuffers = channels;
        for (UInt32 c = 0; c < channels; ++c)
            list.mBuffers[c] = AudioBuffer{1, static_cast<UInt32>(frames) * 4, outputs[c]};
        AudioTimeStamp time{};
        time.mSampleTime = sampleTime;
        time.mFlags = kAudioTimeStampSampleTimeValid;
        AudioUnitRenderActionFlags flags = 0;
        unit.render(&flags, &time, 0, static_cast<UInt32>(frames), reinterpret_cast<AudioBufferList*>(&list));
        sampleTime += frames;
    });
    bool ok = false;
    {
        AUHostedEditor editor(unit);
        ok = runEditorSession(editor, options, error);
    }
    audio.stop();
    unit.uninitialize();
    return ok;
}

} // namespace kelvane
