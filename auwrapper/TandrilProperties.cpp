// The Audio Unit properties of TandrilComponent: what each one is (scope, element, size, writability),
// reading and writing them, and the stream-format, sample-rate and buffer-size changes behind them.

#include "auwrapper/TandrilComponent.h"

#include <algorithm>
#include <cstring>

namespace q9framework {

using namespace cf;

namespace {

bool isBusScope(AudioUnitScope scope)
{
    return scope == kAudioUnitScope_Input || scope == kAudioUnitScope_Output;
}

} // namespace

void TandrilComponent::checkBusElement(AudioUnitScope scope, AudioUnitElement element) const
{
    const int count = scope == kAudioUnitScope_Input ? inputBusCount : outputBusCount;
    if (element >= static_cast<UInt32>(count))
        throw MacOSException(kAudioUnitErr_InvalidElement);
}

TandrilComponent::PropertyShape TandrilComponent::propertyShape(AudioUnitPropertyID id, AudioUnitScope scope,
                                                                AudioUnitElement element)
{
    auto requireScope = [scope](bool allowed) {
        if (!allowed)
            throw MacOSException(kAudioUnitErr_InvalidScope);
    };
    auto requireCondition = [](bool present) {
        if (!present)
            throw MacOSException(kAudioUnitErr_InvalidProperty);
    };
    const bool global = scope == kAudioUnitScope_Global;
    switch (id) {
    case kAudioUnitProperty_ClassInfo: requireScope(global); return {true, 8, 8};
    case kAudioUnitProperty_MakeConnection:
        requireScope(scope == kAudioUnitScope_Input);
        checkBusElement(scope, element);
        return {true, 16, 16};
    case kAudioUnitProperty_SampleRate:
    case kAudioUnitProperty_StreamFormat: {
        requireScope(global || isBusScope(scope));
        checkBusElement(global ? kAudioUnitScope_Output : scope, element);
        const bool writable = scope != kAudioUnitScope_Input || connections[element].sourceAudioUnit == nullptr;
        const UInt32 size = id == kAudioUnitProperty_SampleRate ? 8 : 40;
        return {writable, size, size};
    }
    case kAudioUnitProperty_ParameterList: {
        const UInt32 size = global ? 4 * static_cast<UInt32>(mappedParameterCount) : 0;
        return {false, size, size};
    }
    case kAudioUnitProperty_ParameterInfo:
        requireScope(global);
        if (element >= parameterInfo.size())
            throw MacOSException(kAudioUnitErr_InvalidElement);
        return {false, 104, 104};
    case kAudioUnitProperty_ElementCount: return {false, 4, 4};
    case kAudioUnitProperty_Latency: requireScope(global); return {false, 8, 8};
    case kAudioUnitProperty_SupportedNumChannels:
        requireScope(global);
        requireCondition(channelInfoCount > 0);
        return {false, 4 * static_cast<UInt32>(channelInfoCount), 4 * static_cast<UInt32>(channelInfoCount)};
    case kAudioUnitProperty_MaximumFramesPerSlice: requireScope(global); return {true, 4, 4};
    case kAudioUnitProperty_ParameterValueStrings:
        requireScope(global);
        if (element >= parameterValueStrings.size())
            throw MacOSException(kAudioUnitErr_InvalidElement);
        if (parameterValueStrings[element] == nullptr)
            throw MacOSException(kAudioUnitErr_InvalidParameter);
        return {false, 8, 8};
    case kAudioUnitProperty_TailTime:
        requireScope(global);
        requireCondition(supportsTail);
        return {false, 8, 8};
    case kAudioUnitProperty_BypassEffect:
        requireScope(global);
        requireCondition(supportsBypass);
        return {true, 4, 4};
    case kAudioUnitProperty_LastRenderError: requireScope(global); return {false, 4, 4};
    case kAudioUnitProperty_SetRenderCallback:
        requireScope(scope == kAudioUnitScope_Input);
        checkBusElement(scope, element);
        return {true, 16, 16};
    case kAudioUnitProperty_FactoryPresets:
        requireScope(global);
        requireCondition(factoryPresetCount > 0);
        return {false, 8, 8};
    case kAudioUnitProperty_HostCallbacks: requireScope(global); return {true, 0, sizeof(HostCallbackInfo)};
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: requireScope(global); return {true, 4, 16};
    case kAudioUnitProperty_ElementName: {
        requireScope(isBusScope(scope));
        requireCondition((inputBusCount > 0 && inputBusNames[0] != nullptr)
                         || (outputBusCount > 0 && outputBusNames[0] != nullptr));
        const bool input = scope == kAudioUnitScope_Input;
        if (element >= static_cast<UInt32>(input ? inputBusCount : outputBusCount)
            || (input ? inputBusNames : outputBusNames)[element] == nullptr)
            throw MacOSException(kAudioUnitErr_InvalidElement);
        return {false, 8, 8};
    }
    case kAudioUnitProperty_CocoaUI:
        requireScope(global);
        requireCondition((effect().flags & effFlagsHasEditor) != 0);
        return {false, 16, 16};
    case kAudioUnitProperty_ParameterStringFromValue:
    case kAudioUnitProperty_ParameterValueFromString:
        requireScope(global);
        requireCondition(supportsStringConversion);
        return {false, 24, 24};
    case kMusicDeviceProperty_InstrumentCount: requireScope(global); return {false, 4, 4};
    default: throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
}

void TandrilComponent::getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                       UInt32* outSize, Boolean* outWritable)
{
    if (outSize != nullptr)
        *outSize = 0;
    if (outWritable != nullptr)
        *outWritable = 0;
    const PropertyShape shape = propertyShape(id, scope, element);
    if (outSize != nullptr)
        *outSize = shape.reportedSize;
    if (outWritable != nullptr)
        *outWritable = shape.writable ? 1 : 0;
}

void TandrilComponent::getProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, void* data,
                                   UInt32* ioSize)
{
    const PropertyShape shape = propertyShape(id, scope, element);
    if (ioSize == nullptr)
        throw MacOSException(paramErr);
    const UInt32 callerSize = *ioSize;
    *ioSize = shape.minimumSize;
    if (data == nullptr)
        return;
    if (callerSize < shape.minimumSize)
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);

    auto write = [data](const auto& value) { std::memcpy(data, &value, sizeof value); };
    switch (id) {
    case kAudioUnitProperty_ClassInfo: write(static_cast<CFPropertyListRef>(copyClassInfo())); break;
    case kAudioUnitProperty_SampleRate: write(streamFormat.mSampleRate); break;
    case kAudioUnitProperty_ParameterList:
        if (scope == kAudioUnitScope_Global && mappedParameterCount > 0)
            std::memcpy(data, mappedParameters.data(), 4 * static_cast<size_t>(mappedParameterCount));
        break;
    case kAudioUnitProperty_ParameterInfo: write(parameterInfo[element]); break;
    case kAudioUnitProperty_StreamFormat:
        streamFormat.mChannelsPerFrame = static_cast<UInt32>(
            (scope == kAudioUnitScope_Input ? inputBusChannels : outputBusChannels)[element]);
        write(streamFormat);
        break;
    case kAudioUnitProperty_ElementCount:
        write(static_cast<UInt32>(scope == kAudioUnitScope_Input    ? inputBusCount
                                  : scope == kAudioUnitScope_Output ? outputBusCount
                                                                    : 0));
        break;
    case kAudioUnitProperty_Latency:
        latencySeconds = effect().initialDelay / streamFormat.mSampleRate;
        write(latencySeconds);
        break;
    case kAudioUnitProperty_SupportedNumChannels:
        std::memcpy(data, channelInfo, sizeof(AUChannelInfo) * static_cast<size_t>(channelInfoCount));
        break;
    case kAudioUnitProperty_MaximumFramesPerSlice: write(maxFramesPerSlice); break;
    case kAudioUnitProperty_ParameterValueStrings:
        write(static_cast<CFArrayRef>(CFRetain(parameterValueStrings[element])));
        break;
    case kAudioUnitProperty_TailTime:
        tailSeconds = computeTail();
        write(tailSeconds);
        break;
    case kAudioUnitProperty_BypassEffect: write(static_cast<UInt32>(bypassed ? 1 : 0)); break;
    case kAudioUnitProperty_LastRenderError: write(static_cast<OSStatus>(noErr)); break;
    case kAudioUnitProperty_FactoryPresets: write(static_cast<CFArrayRef>(CFRetain(factoryPresetArray))); break;
    case kAudioUnitProperty_HostCallbacks: {
        const UInt32 count = std::min<UInt32>(callerSize, sizeof hostCallbacks);
        std::memcpy(data, &hostCallbacks, count);
        *ioSize = count;
        break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
        refreshCurrentPreset();
        if (callerSize < sizeof(AUPreset)) {
            write(currentPreset.presetNumber);
            *ioSize = 4;
            break;
        }
        AUPreset answer = currentPreset;
        // PresentPreset hands the caller a reference of its own; the older CurrentPreset lends it.
        if (id == kAudioUnitProperty_PresentPreset)
            CFRetain(answer.presetName);
        write(answer);
        *ioSize = sizeof(AUPreset);
        break;
    }
    case kAudioUnitProperty_ElementName: {
        const CFStringRef name = (scope == kAudioUnitScope_Input ? inputBusNames : outputBusNames)[element];
        write(static_cast<CFStringRef>(CFRetain(name)));
        break;
    }
    case kAudioUnitProperty_CocoaUI: {
        AudioUnitCocoaViewInfo info{};
        const std::string& path = bundlePath;
        info.mCocoaAUViewBundleLocation = CFURLCreateFromFileSystemRepresentation(
            kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()), static_cast<CFIndex>(path.size()), true);
        info.mCocoaAUViewClass[0] = createString(tandrilViewClasses(instance).factory);
        write(info);
        break;
    }
    case kAudioUnitProperty_ParameterStringFromValue:
        parameterStringFromValue(*static_cast<AudioUnitParameterStringFromValue*>(data));
        break;
    case kAudioUnitProperty_ParameterValueFromString:
        parameterValueFromString(*static_cast<AudioUnitParameterValueFromString*>(data));
        break;
    case kMusicDeviceProperty_InstrumentCount: write(static_cast<UInt32>(0)); break;
    default: break;
    }
}

void TandrilComponent::setProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                   const void* data, UInt32 size)
{
    const PropertyShape shape = propertyShape(id, scope, element);
    if (!shape.writable)
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    if (size < shape.minimumSize || (data == nullptr && shape.minimumSize > 0))
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);

    auto read = [data](auto& value) { std::memcpy(&value, data, sizeof value); };
    switch (id) {
    case kAudioUnitProperty_ClassInfo: {
        CFPropertyListRef classInfo = nullptr;
        read(classInfo);
        try {
            restoreClassInfo(classInfo);
        } catch (const FormatException&) {
            throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
        } catch (const EOFException&) {
            throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
        }
        break;
    }
    case kAudioUnitProperty_MakeConnection: {
        AudioUnitConnection connection{};
        read(connection);
        makeConnection(element, connection);
        break;
    }
    case kAudioUnitProperty_SampleRate: {
        Float64 rate = 0.0;
        read(rate);
        changeSampleRate(rate);
        break;
    }
    case kAudioUnitProperty_StreamFormat: {
        AudioStreamBasicDescription format{};
        read(format);
        setStreamFormat(scope, element, format);
        break;
    }
    case kAudioUnitProperty_MaximumFramesPerSlice: {
        UInt32 frames = 0;
        read(frames);
        setMaxFramesPerSlice(frames);
        break;
    }
    case kAudioUnitProperty_BypassEffect: {
        UInt32 value = 0;
        read(value);
        bypassed = value != 0;
        plugIn->dispatch(effSetBypass, 0, bypassed ? 1 : 0);
        break;
    }
    case kAudioUnitProperty_SetRenderCallback: {
        AURenderCallbackStruct callback{};
        read(callback);
        setRenderCallback(element, callback);
        break;
    }
    case kAudioUnitProperty_HostCallbacks: {
        HostCallbackInfo callbacks{};
        if (data != nullptr)
            std::memcpy(&callbacks, data, std::min<size_t>(size, sizeof callbacks));
        if (std::memcmp(&callbacks, &hostCallbacks, sizeof callbacks) != 0) {
            hostCallbacks = callbacks;
            notifyProperty(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0);
        }
        break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
        AUPreset preset{};
        std::memcpy(&preset, data, std::min<size_t>(size, sizeof preset));
        setCurrentPreset(preset, size >= sizeof(AUPreset));
        break;
    }
    default: break;
    }
}

// ---- connections and formats ----------------------------------------------------------------------------------

void TandrilComponent::makeConnection(AudioUnitElement element, const AudioUnitConnection& connection)
{
    if (connection.destInputNumber != element)
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    if (connection.sourceAudioUnit != nullptr) {
        AudioStreamBasicDescription format{};
        UInt32 size = sizeof format;
        throwIfError(AudioUnitGetProperty(connection.sourceAudioUnit, kAudioUnitProperty_StreamFormat,
                                          kAudioUnitScope_Output, connection.sourceOutputNumber, &format, &size));
        setStreamFormat(kAudioUnitScope_Input, element, format);
    }
    if (std::memcmp(&connections[element], &connection, sizeof connection) != 0) {
        connections[element] = connection;
        notifyProperty(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, element);
    }
    if (renderCallbacks[element].inputProc != nullptr || renderCallbacks[element].inputProcRefCon != nullptr) {
        renderCallbacks[element] = AURenderCallbackStruct{};
        notifyProperty(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, element);
    }
}

void TandrilComponent::setRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback)
{
    const bool same = std::memcmp(&renderCallbacks[element], &callback, sizeof callback) == 0;
    if (!same)
        renderCallbacks[element] = callback;
    if (connections[element].sourceAudioUnit != nullptr) {
        connections[element] = AudioUnitConnection{};
        notifyProperty(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, element);
    }
    if (!same)
        notifyProperty(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, element);
}

void TandrilComponent::setStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                       const AudioStreamBasicDescription& format)
{
    const UInt32 wanted = kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved;
    if (format.mFormatID != kAudioFormatLinearPCM || format.mFramesPerPacket != 1 || format.mBytesPerPacket != 4
        || format.mBytesPerFrame != 4 || (format.mFormatFlags & wanted) != wanted || format.mBitsPerChannel != 32
        || format.mChannelsPerFrame == 0)
        throw MacOSException(kAudioUnitErr_FormatNotSupported);

    const bool input = scope == kAudioUnitScope_Input;   // global acts on the output bus
    const int* starts = input ? inputBusStart : outputBusStart;
    int* channels = input ? inputBusChannels : outputBusChannels;
    const int vstWidth = starts[element + 1] - starts[element];
    const UInt32 c = format.mChannelsPerFrame;
    const bool accepted = c == static_cast<UInt32>(vstWidth) || (vstWidth == 2 && c == 1 && canDoMonoIO)
                          || ((hostQuirk == 2 || hostQuirk == 3) && vstWidth == 1 && c == 2);
    if (!accepted)
        throw MacOSException(kAudioUnitErr_FormatNotSupported);
    channels[element] = static_cast<int>(c);
    changeSampleRate(format.mSampleRate);
}

void TandrilComponent::changeSampleRate(Float64 rate)
{
    if (rate == streamFormat.mSampleRate)
        return;
    streamFormat.mSampleRate = rate;
    plugIn->setSampleRate(static_cast<float>(rate));
    for (int b = 0; b < inputBusCount; ++b) {
        notifyProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, static_cast<UInt32>(b));
        notifyProperty(kAudioUnitProperty_SampleRate, kAudioUnitScope_Input, static_cast<UInt32>(b));
    }
    for (int b = 0; b < outputBusCount; ++b) {
        notifyProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, static_cast<UInt32>(b));
        notifyProperty(kAudioUnitProperty_SampleRate, kAudioUnitScope_Output, static_cast<UInt32>(b));
    }
    refreshLatencyAndTail();
}

void TandrilComponent::setMaxFramesPerSlice(UInt32 frames)
{
    if (frames == maxFramesPerSlice)
        return;
    // The size changes only with buffers of that size: a render checks its frames against it.
    allocateChannelBuffers(frames);
    maxFramesPerSlice = frames;
    notifyProperty(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0);
    plugIn->setBlockSize(static_cast<int32_t>(frames));
}

Float64 TandrilComponent::computeTail() const
{
    return static_cast<Float64>(plugIn->dispatch(effGetTailSize)) / streamFormat.mSampleRate;
}

void TandrilComponent::refreshLatencyAndTail()
{
    const Float64 latency = effect().initialDelay / streamFormat.mSampleRate;
    if (latency != latencySeconds) {
        latencySeconds = latency;
        notifyProperty(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
    }
    refreshTail();
}

void TandrilComponent::refreshTail()
{
    if (!supportsTail)
        return;
    const Float64 tail = computeTail();
    if (tail != tailSeconds) {
        tailSeconds = tail;
        notifyProperty(kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0);
    }
}

} // namespace q9framework
