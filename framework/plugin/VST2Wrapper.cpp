#include "framework/plugin/VST2Wrapper.h"

#include "framework/plugin/VST2EditorBase.h"
#include "framework/plugin/VST2Entry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace q9framework {

namespace {

// Transport the plug-in may use: position in quarter notes, tempo, bars, loop and time signature.
constexpr VstInt32 timeInfoRequest = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid
                                     | kVstTimeSigValid;

VstInt32 reverseBytes(int32_t value) noexcept
{
    const auto v = static_cast<uint32_t>(value);
    return static_cast<VstInt32>((v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24));
}

VST2Wrapper::EditorFactory installedEditorFactory = nullptr;

} // namespace

void VST2Wrapper::setEditorFactory(EditorFactory factory) noexcept
{
    installedEditorFactory = factory;
}

VST2Wrapper::VST2Wrapper(audioMasterCallback host, AudioPlugin* wrappedPlugin, const PluginInfo& info)
    : AudioEffectX(host, 1, wrappedPlugin->getNumParameters()),
      plugin(wrappedPlugin),
      name(info.name),
      vendor(info.vendor),
      vendorVersion(reverseBytes(info.version))
{
    setInitialDelay(plugin->getLatency());
    plugin->addListener(this);
    // The plug-in works in place on the host's buffers; buffers of its own would only be copied around.
    plugin->useExternalBuffers();

    cEffect.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    isSynth((info.flags & 1u) != 0);
    if (plugin->hasEditor())
        cEffect.flags |= effFlagsHasEditor;
    canDoubleReplacing(plugin->supportsDoublePrecision());
    noTail(plugin->isSilentWhenStopped());

    setNumInputs(info.numInputs);
    setNumOutputs(info.numOutputs);
    setUniqueID(info.uniqueId);

    AudioPluginEditorListener* const editorListener = this;
    if (installedEditorFactory != nullptr)
        setEditor(installedEditorFactory(this, plugin, editorListener, info.editorFlags));
    if (getEditor() == nullptr)
        setEditor(new VST2EditorBase(this, plugin, editorListener, info.editorFlags));
}

VST2Wrapper::~VST2Wrapper()
{
    setEditor(nullptr);
    plugin->removeListener(this);
    delete plugin;
    plugin = nullptr;
    releaseFrameworkServices();
}

void VST2Wrapper::copyToHost(char* destination, const String& text, size_t capacity) noexcept
{
    const char* source = text.toUTF8();
    size_t length = std::strlen(source);
    const size_t maxLength = std::min(capacity, maxHostStringLength + 1) - 1;
    if (length > maxLength) {
        length = maxLength;
        // Never leave half a character at the end of the host's text.
        while (length > 0 && (static_cast<unsigned char>(source[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(destination, source, length);
    destination[length] = 0;
}

void VST2Wrapper::getParameterDisplay(VstInt32 index, char* text)
{
    copyToHost(text, plugin->getParameterText(index, plugin->getParameter(index)), maxParameterTextBytes);
}

void VST2Wrapper::getParameterName(VstInt32 index, char* text)
{
    copyToHost(text, plugin->getParameterName(index), maxParameterTextBytes);
}

bool VST2Wrapper::getEffectName(char* text)
{
    copyToHost(text, name, kVstMaxEffectNameLen);
    return true;
}

bool VST2Wrapper::getVendorString(char* text)
{
    copyToHost(text, vendor);
    return true;
}

bool VST2Wrapper::getProductString(char* text)
{
    copyToHost(text, name);
    return true;
}

void VST2Wrapper::setSampleRate(float rate)
{
    // A zero, negative or NaN rate would turn the engine's time constants into garbage.
    if (!(rate > 0.0f) || !std::isfinite(rate))
        return;
    sampleRate = rate;
    plugin->prepare(blockSize, true, static_cast<double>(rate));
}

void VST2Wrapper::setBlockSize(VstInt32 size)
{
    if (size < 0)
        return;
    blockSize = size;
    plugin->prepare(size, true, static_cast<double>(sampleRate));
}

void VST2Wrapper::suspend()
{
    plugin->suspend();
}

void VST2Wrapper::resume()
{
    plugin->resume();
    char receiveMidi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(receiveMidi) == 1)
        wantEvents(1);
}

VstInt32 VST2Wrapper::getChunk(void** data, bool)
{
    chunkStream.clear();
    plugin->getState(chunkStream);
    *data = chunkStream.getBlock().getData();
    return static_cast<VstInt32>(chunkStream.getLength());
}

VstInt32 VST2Wrapper::setChunk(void* data, VstInt32 size, bool)
{
    // The host may free its bytes as soon as we return, and the plug-in reads at its own pace: copy.
    const uint64_t byteCount = data != nullptr && size > 0 ? static_cast<uint64_t>(size) : 0;
    MemoryStream stream(MemoryBlock(data, byteCount, true));
    plugin->setState(stream);
    return 0;
}

void VST2Wrapper::setParameter(VstInt32 index, float value)
{
    const ScopedLock hold(plugin->getLock());
    plugin->setParameter(index, static_cast<double>(value));
}

float VST2Wrapper::getParameter(VstInt32 index)
{
    return static_cast<float>(plugin->getParameter(index));
}

void VST2Wrapper::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    if (inputs == nullptr || outputs == nullptr || sampleFrames < 0)
        return;

    ProcessInfo info;
    if (audioMaster != nullptr) {
        if (const VstTimeInfo* time = getTimeInfo(timeInfoRequest)) {
            info.ppqPosition = time->ppqPos;
            info.tempo = time->tempo;
        }
    }

    if (AudioPlugin::AudioBus* in = plugin->getInputBus(0)) {
        for (VstInt32 channel = 0; channel < cEffect.numInputs; ++channel)
            in->setChannel(channel, inputs[channel]);
        in->setNumChannels(cEffect.numInputs);
    }
    if (AudioPlugin::AudioBus* out = plugin->getOutputBus(0)) {
        for (VstInt32 channel = 0; channel < cEffect.numOutputs; ++channel)
            out->setChannel(channel, outputs[channel]);
        out->setNumChannels(cEffect.numOutputs);
    }

    plugin->process(info, sampleFrames);

    // The events handed over for this block have been consumed.
    for (int bus = 0; bus < plugin->getNumInputEventBuses(); ++bus)
        plugin->getInputEventBus(bus)->clearEvents();
    for (int bus = 0; bus < plugin->getNumOutputEventBuses(); ++bus)
        plugin->getOutputEventBus(bus)->clearEvents();
}

VstInt32 VST2Wrapper::processEvents(VstEvents* events)
{
    AudioPlugin::EventBus* bus = plugin->getInputEventBus(0);
    if (bus == nullptr || events == nullptr)
        return 1;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = events->events[i];
        if (event == nullptr || event->type != kVstMidiType)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const uint8_t bytes[3] = {static_cast<uint8_t>(midi->midiData[0]), static_cast<uint8_t>(midi->midiData[1]),
                                  static_cast<uint8_t>(midi->midiData[2])};
        bus->addMidiMessage(bytes, midi->deltaFrames);
    }
    return 1;
}

VstIntPtr VST2Wrapper::vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return plugin->vendorSpecific(index, value, ptr, opt);
}

VstInt32 VST2Wrapper::canDo(char* text)
{
    static const char* const capabilities[] = {"sendVstEvents", "receiveVstEvents", "sendVstMidiEvent",
                                               "receiveVstMidiEvent", "receiveVstTimeInfo"};
    for (const char* capability : capabilities)
        if (std::strcmp(text, capability) == 0)
            return 1;
    // Never -1: some hosts read "no" as a reason to refuse the plug-in; "don't know" is harmless.
    return 0;
}

void VST2Wrapper::parameterGestureBegan(AudioPluginEditor*, int32_t index)
{
    if (isParameterIndex(index))
        beginEdit(index);
}

void VST2Wrapper::parameterChanged(AudioPluginEditor*, int32_t index, double value)
{
    if (!isParameterIndex(index))
        return;
    const float narrowed = static_cast<float>(value);
    setParameter(index, narrowed);
    callHost(audioMasterAutomate, index, 0, nullptr, narrowed);
}

void VST2Wrapper::parameterGestureEnded(AudioPluginEditor*, int32_t index)
{
    if (isParameterIndex(index))
        endEdit(index);
}

void VST2Wrapper::pluginChanged(int32_t code)
{
    if (code != 0)
        return;
    setInitialDelay(plugin->getLatency());
    ioChanged();
}

} // namespace q9framework
