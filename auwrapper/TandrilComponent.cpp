#include "auwrapper/TandrilComponent.h"

#include "auwrapper/platform/FileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace q9framework {

using namespace cf;

namespace {

constexpr SInt16 selectorsThisComponentCanDo[] = {
    kComponentVersionSelect, kComponentCanDoSelect, kComponentCloseSelect, kComponentOpenSelect,
    kAudioUnitInitializeSelect, kAudioUnitUninitializeSelect, kAudioUnitGetPropertyInfoSelect,
    kAudioUnitGetPropertySelect, kAudioUnitSetPropertySelect, kAudioUnitGetParameterSelect,
    kAudioUnitSetParameterSelect, kAudioUnitResetSelect, kAudioUnitAddPropertyListenerSelect,
    kAudioUnitRenderSelect, kAudioUnitAddRenderNotifySelect, kAudioUnitRemoveRenderNotifySelect,
    kAudioUnitScheduleParametersSelect, kAudioUnitRemovePropertyListenerWithUserDataSelect,
    kMusicDeviceMIDIEventSelect};

// The adapter's name towards the effect, as audioMasterGetVendorString answers it.
const char* const vendorName = "Velmora Audio Technologies";
const char* const productName = "Tandril";

template <typename T>
T slot(const ComponentParameters* params, int index)
{
    static_assert(sizeof(T) <= sizeof(long), "one argument per slot");
    T value;
    // The record is as long as the call needs, past its declared one-slot array: address the slots
    // by offset. Arguments narrower than a slot sit in its low bytes (little-endian).
    const auto* slots = reinterpret_cast<const unsigned char*>(params) + offsetof(ComponentParameters, params);
    std::memcpy(&value, slots + sizeof(long) * static_cast<size_t>(index), sizeof value);
    return value;
}

} // namespace

TandrilComponent::TandrilComponent(ComponentInstance componentInstance, const std::string& ownImagePath)
    : instance(componentInstance)
{
    streamFormat = AudioStreamBasicDescription{44100.0, kAudioFormatLinearPCM, kAudioFormatFlagsAudioUnitCanonical, 4, 1,
                                               4, 2, 32, 0};
    try {
        findOwnBundle(ownImagePath);
        readConfig();

        resourcesDir = bundle.getResourcesPath();
        if (resourcesDir.empty())
            throw TandrilException("Could not locate resources directory within bundle");

        plugIn = std::make_unique<VSTPlugIn>(*this, findVSTBundle(), static_cast<int32_t>(maxFramesPerSlice),
                                             static_cast<float>(streamFormat.mSampleRate));
        plugIn->open();
        plugIn->checkEffect();

        supportsStringConversion = plugIn->probeExtension();
        supportsTail = plugIn->dispatch(effGetTailSize) != 0;
        supportsBypass = plugIn->dispatch(effSetBypass, 0, 0) != 0;

        detectHostQuirk();
        AudioComponentDescription description{};
        const bool isMusicDevice = AudioUnitGetComponentDescription(instance, &description) == noErr
                                   && description.componentType == kAudioUnitType_MusicDevice;
        const bool uniform = !isMusicDevice || hostQuirk == 1;
        layoutBuses(true, uniform);
        layoutBuses(false, uniform);
        buildChannelInfo();

        parameterInfo.assign(static_cast<size_t>(std::max(effect().numParams, 0)), AudioUnitParameterInfo{});
        parameterValueStrings.assign(parameterInfo.size(), nullptr);
        allocateChannelBuffers(maxFramesPerSlice);

        loadParameterFile();
        loadFactoryPresets();
        if (autoConvertPresets)
            convertPresetFolders();

        latencySeconds = effect().initialDelay / streamFormat.mSampleRate;
        refreshTail();
        currentPreset.presetName = CFSTR("Untitled");
        refreshCurrentPreset();

        throwIfError(AudioUnitInstallEventLoopTimer(instance, idleIntervalSeconds, idleIntervalSeconds, &idleTimerFired,
                                                    this, &idleTimer));
    } catch (...) {
        releaseEverything();
        throw;
    }
}

TandrilComponent::~TandrilComponent()
{
    releaseEverything();
}

void TandrilComponent::releaseEverything() noexcept
{
    // A view the host still holds must not call back into a component that is gone; the editor itself
    // closes with the VSTPlugIn.
    if (view != nullptr)
        view->tandril = nullptr;
    view = nullptr;
    if (idleTimer != nullptr) {
        // A timer the host cannot remove is its problem; nothing may escape a destructor.
        AudioUnitRemoveEventLoopTimer(instance, idleTimer);
        idleTimer = nullptr;
    }
    for (int i = 0; i < maxFactoryPresets; ++i) {
        CFRelease(factoryPresets[i].presetName);
        factoryPresets[i].presetName = nullptr;
        CFRelease(factoryPresetData[i]);
        factoryPresetData[i] = nullptr;
    }
    factoryPresetCount = 0;
    CFRelease(factoryPresetArray);
    factoryPresetArray = nullptr;
    CFRelease(currentPreset.presetName);
    currentPreset.presetName = nullptr;
    for (size_t i = 0; i < parameterInfo.size(); ++i) {
        CFRelease(parameterInfo[i].unitName);
        CFRelease(parameterInfo[i].cfNameString);
        CFRelease(parameterValueStrings[i]);
    }
    parameterInfo.clear();
    parameterValueStrings.clear();
    plugIn.reset();
    channelBuffers.clear();
    spareInputBuffer.clear();
    for (int i = 0; i < maxChannels; ++i) {
        CFRelease(inputBusNames[i]);
        CFRelease(outputBusNames[i]);
        inputBusNames[i] = outputBusNames[i] = nullptr;
    }
    // The bundle member goes last; the last reference unloads its executable.
}

// ---- construction -----------------------------------------------------------------------------------------

void TandrilComponent::findOwnBundle(const std::string& ownImagePath)
{
    if (ownImagePath.empty())
        throw TandrilException("Could not find image for current bundle");
    CFRef<CFURLRef> url(CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault,
                                                                reinterpret_cast<const UInt8*>(ownImagePath.data()),
                                                                static_cast<CFIndex>(ownImagePath.size()), false));
    if (!url)
        throw TandrilException("Could not create URL from file system representation");
    // Contents/x86_64-linux/Name.so: three components up is the bundle.
    for (int i = 0; i < 3; ++i) {
        url.reset(CFURLCreateCopyDeletingLastPathComponent(kCFAllocatorDefault, url.get()));
        if (!url)
            throw TandrilException("Could not remove last path component from URL");
    }
    bundle = Bundle::fromPath(pathOf(url.get()));
    if (bundle.isNull())
        throw TandrilException("Could not create bundle from URL");
    bundlePath = bundle.getPath();
}

Bundle TandrilComponent::findVSTBundle()
{
    std::vector<std::string> items;
    if (!bundle.getResourcePathsOfType("vst", items))
        throw TandrilException("Could not locate resources of specific type in bundle");
    if (items.empty())
        return bundle;   // the bundle holds the VST entry points itself
    if (items.size() > 1)
        throw TandrilException("Found more than one VST bundle or alias in resources");
    std::string path = items[0];
    if (fs::isAlias(path)) {
        path = fs::resolveAlias(path);
        if (path.empty())
            throw TandrilException("Could not create URL from FSRef");
        // An alias may also lead to a bare .so, as most Linux VST plug-ins come: its own executable.
        if (fs::isRegularFile(path))
            return Bundle::forLoneExecutable(path);
    }
    Bundle vstBundle = Bundle::fromPath(path);
    if (vstBundle.isNull())
        throw TandrilException("Could not locate VST bundle");
    return vstBundle;
}

void TandrilComponent::layoutBuses(bool isInput, bool uniform)
{
    const int numChannels = isInput ? effect().numInputs : effect().numOutputs;
    int* starts = isInput ? inputBusStart : outputBusStart;
    int* channels = isInput ? inputBusChannels : outputBusChannels;
    CFStringRef* names = isInput ? inputBusNames : outputBusNames;
    int& count = isInput ? inputBusCount : outputBusCount;
    const int defaultWidth = numChannels % 2 == 0 ? 2 : 1;

    int i = 0;
    count = 0;
    while (i < numChannels) {
        VstPinProperties pin{};
        const bool answered =
            plugIn->dispatch(isInput ? effGetInputProperties : effGetOutputProperties, i, 0, &pin) != 0;
        int width = defaultWidth;
        if (uniform && i > 0)
            width = channels[count - 1];
        else if (answered)
            width = (pin.flags & kVstPinIsStereo) != 0 ? 2 : 1;
        // A stereo pin on the last of an odd number of channels: the leftover channel becomes a bus of
        // its own, so every channel is reachable and the layout always ends.
        if (i + width > numChannels)
            width = numChannels - i;
        starts[count] = i;
        channels[count] = width;
        if (answered) {
            pin.label[sizeof pin.label - 1] = '\0';
            names[count] = CFStringCreateWithCString(kCFAllocatorDefault, pin.label, kCFStringEncodingUTF8);
            if (names[count] == nullptr)
                names[count] = CFStringCreateWithCString(kCFAllocatorDefault, pin.label, kCFStringEncodingMacRoman);
        }
        ++count;
        i += width;
    }
    starts[count] = i;
}

void TandrilComponent::buildChannelInfo()
{
    channelInfoCount = 0;
    auto commonWidth = [](const int* channels, int count, int& width) {
        width = count > 0 ? channels[0] : 0;
        for (int b = 1; b < count; ++b)
            if (channels[b] != width)
                return false;
        return true;
    };
    int inW = 0, outW = 0;
    if (!commonWidth(inputBusChannels, inputBusCount, inW) || !commonWidth(outputBusChannels, outputBusCount, outW))
        return;
    auto add = [this](int in, int out) {
        channelInfo[channelInfoCount++] = AUChannelInfo{static_cast<SInt16>(in), static_cast<SInt16>(out)};
    };
    if (canDoMonoIO && inW == 2) {
        if (outW == 2)
            add(1, 1);
        add(1, outW);
    }
    if (canDoMonoIO && outW == 2)
        add(inW, 1);
    add(inW, outW);
}

void TandrilComponent::allocateChannelBuffers(UInt32 frames)
{
    // Built aside and swapped in, so a failed allocation leaves the buffers of the old size in place.
    const int count = std::max(effect().numInputs, effect().numOutputs);
    std::vector<std::vector<float>> buffers(static_cast<size_t>(count), std::vector<float>(frames, 0.0f));
    std::vector<float> spare(frames, 0.0f);
    channelBuffers.swap(buffers);
    spareInputBuffer.swap(spare);
}

void TandrilComponent::idleTimerFired(EventLoopTimerRef, void* userData)
{
    static_cast<TandrilComponent*>(userData)->plugIn->idleEffect();
}

AudioComponentDescription TandrilComponent::componentDescription() const
{
    AudioComponentDescription description{};
    throwIfError(AudioUnitGetComponentDescription(instance, &description));
    return description;
}

// ---- notifications -------------------------------------------------------------------------------------------

void TandrilComponent::notifyProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
    if (propertyListenerCount == 0) {
        AudioUnitEvent event{};
        event.mEventType = kAudioUnitEvent_PropertyChange;
        event.mArgument.mProperty = AudioUnitProperty{instance, id, scope, element};
        AUEventListenerNotify(nullptr, nullptr, &event);
        return;
    }
    for (int i = 0; i < propertyListenerCount; ++i)
        if (propertyListeners[i].id == id)
            propertyListeners[i].proc(propertyListeners[i].userData, instance, id, scope, element);
}

void TandrilComponent::addPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData)
{
    if (propertyListenerCount == maxListeners)
        throw MacOSException(memFullErr);
    propertyListeners[propertyListenerCount++] = PropertyListener{id, proc, userData};
}

void TandrilComponent::removePropertyListenerWithUserData(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                                          void* userData)
{
    const auto end = std::remove_if(propertyListeners, propertyListeners + propertyListenerCount, [&](const PropertyListener& l) {
        return l.id == id && l.proc == proc && l.userData == userData;
    });
    propertyListenerCount = static_cast<int>(end - propertyListeners);
}

void TandrilComponent::addRenderNotify(AURenderCallback proc, void* refCon)
{
    if (renderNotifyCount == maxRenderNotifications)
        throw MacOSException(memFullErr);
    renderNotify[renderNotifyCount++] = RenderNotification{proc, refCon};
}

void TandrilComponent::removeRenderNotify(AURenderCallback proc, void* refCon)
{
    const auto end = std::remove_if(renderNotify, renderNotify + renderNotifyCount, [&](const RenderNotification& n) {
        return n.proc == proc && n.refCon == refCon;
    });
    renderNotifyCount = static_cast<int>(end - renderNotify);
}

// ---- life cycle selectors ---------------------------------------------------------------------------------------

void TandrilComponent::resumeEffect()
{
    refreshLatencyAndTail();
    wantsMidi = plugIn->acceptsMidi();
}

void TandrilComponent::initialize()
{
    if (!plugIn->isResumed()) {
        plugIn->dispatch(effMainsChanged, 0, 1);
        plugIn->setResumed(true);
    }
    resumeEffect();
}

void TandrilComponent::uninitialize()
{
    if (plugIn->isResumed()) {
        plugIn->dispatch(effMainsChanged, 0, 0);
        plugIn->setResumed(false);
    }
}

void TandrilComponent::reset(AudioUnitScope scope, AudioUnitElement)
{
    if (scope != kAudioUnitScope_Global)
        throw MacOSException(kAudioUnitErr_InvalidScope);
    if (plugIn->isResumed()) {
        plugIn->dispatch(effMainsChanged, 0, 0);
        plugIn->dispatch(effMainsChanged, 0, 1);
        resumeEffect();
    }
    lastRenderSampleTime = noRenderYet;
}

void TandrilComponent::midiEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offsetSampleFrame)
{
    if (!wantsMidi)
        return;
    if (!pendingEvents.add(static_cast<uint8_t>(status), static_cast<uint8_t>(data1), static_cast<uint8_t>(data2),
                           static_cast<int32_t>(offsetSampleFrame)))
        throw MacOSException(memFullErr);
}

// ---- the effect's host calls --------------------------------------------------------------------------------------

void TandrilComponent::getVendorString(VSTPlugIn&, char* text)
{
    std::strcpy(text, vendorName);
}

void TandrilComponent::getProductString(VSTPlugIn&, char* text)
{
    std::strcpy(text, productName);
}

int32_t TandrilComponent::getVendorVersion(VSTPlugIn&)
{
    return 0x10000;
}

bool TandrilComponent::canDo(VSTPlugIn&, const char* text)
{
    static const char* const answeredYes[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                             "reportConnectionChanges", "sizeWindow", "supplyIdle"};
    return std::any_of(std::begin(answeredYes), std::end(answeredYes),
                       [text](const char* yes) { return std::strcmp(text, yes) == 0; });
}

VstTimeInfo* TandrilComponent::getTimeInfo(VSTPlugIn&, int32_t)
{
    return &timeInfo;
}

void TandrilComponent::postGesture(AudioUnitEventType type, int32_t index)
{
    if (index < 0 || index >= effect().numParams)
        return;
    AudioUnitEvent event{};
    event.mEventType = type;
    event.mArgument.mParameter = AudioUnitParameter{instance, static_cast<AudioUnitParameterID>(index), kAudioUnitScope_Global, 0};
    AUEventListenerNotify(nullptr, nullptr, &event);
}

void TandrilComponent::beginEdit(VSTPlugIn&, int32_t index)
{
    postGesture(kAudioUnitEvent_BeginParameterChangeGesture, index);
}

void TandrilComponent::automate(VSTPlugIn&, int32_t index, float)
{
    // The value is not kept: hosts read it back through GetParameter, from the effect.
    const AudioUnitParameter parameter{instance, static_cast<AudioUnitParameterID>(index), kAudioUnitScope_Global, 0};
    throwIfError(AUParameterListenerNotify(nullptr, nullptr, &parameter));
    AudioUnitEvent event{};
    event.mEventType = kAudioUnitEvent_ParameterValueChange;
    event.mArgument.mParameter = parameter;
    AUEventListenerNotify(nullptr, nullptr, &event);
}

void TandrilComponent::endEdit(VSTPlugIn&, int32_t index)
{
    postGesture(kAudioUnitEvent_EndParameterChangeGesture, index);
}

bool TandrilComponent::isPinConnected(VSTPlugIn&, bool, int32_t)
{
    return true;
}

void TandrilComponent::idle(VSTPlugIn&) {}

void TandrilComponent::updateDisplay(VSTPlugIn&)
{
    if (refreshCurrentPreset()) {
        notifyProperty(kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0);
        notifyProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
    }
}

void TandrilComponent::sizeWindow(VSTPlugIn&, int32_t width, int32_t height)
{
    if (view != nullptr)
        view->setFrameSize(width, height);
}

// ---- the entry ------------------------------------------------------------------------------------------------------

ComponentResult TandrilComponent::dispatchEntry(ComponentParameters* params, Handle storage, const std::string& ownImagePath)
{
    if (params == nullptr)
        return paramErr;
    auto* self = reinterpret_cast<TandrilComponent*>(storage);
    try {
        switch (params->what) {
        case kComponentVersionSelect: {
            UInt32 version = 0;
            const OSStatus status = AudioUnitGetComponentVersion(slot<ComponentInstance>(params, 0), &version);
            return status != noErr ? status : static_cast<ComponentResult>(version);
        }
        case kComponentCanDoSelect: {
            // The Component Manager calls carry no instance: the asked selector is the first argument.
            const auto asked = slot<SInt16>(params, 0);
            return std::find(std::begin(selectorsThisComponentCanDo), std::end(selectorsThisComponentCanDo), asked)
                           != std::end(selectorsThisComponentCanDo)
                       ? 1
                       : 0;
        }
        case kComponentCloseSelect:
            if (self != nullptr) {
                const ComponentInstance instance = self->instance;
                delete self;
                SetComponentInstanceStorage(instance, nullptr);
            }
            return noErr;
        case kComponentOpenSelect: {
            const auto instance = slot<ComponentInstance>(params, 0);
            auto* component = new TandrilComponent(instance, ownImagePath);
            SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(component));
            return noErr;
        }
        default:
            break;
        }
        if (self == nullptr)
            return badComponentSelector;

        switch (params->what) {
        case kAudioUnitInitializeSelect: self->initialize(); break;
        case kAudioUnitUninitializeSelect: self->uninitialize(); break;
        case kAudioUnitGetPropertyInfoSelect:
            self->getPropertyInfo(slot<UInt32>(params, 1), slot<UInt32>(params, 2), slot<UInt32>(params, 3),
                                  slot<UInt32*>(params, 4), slot<Boolean*>(params, 5));
            break;
        case kAudioUnitGetPropertySelect:
            self->getProperty(slot<UInt32>(params, 1), slot<UInt32>(params, 2), slot<UInt32>(params, 3),
                              slot<void*>(params, 4), slot<UInt32*>(params, 5));
            break;
        case kAudioUnitSetPropertySelect:
            self->setProperty(slot<UInt32>(params, 1), slot<UInt32>(params, 2), slot<UInt32>(params, 3),
                              slot<const void*>(params, 4), slot<UInt32>(params, 5));
            break;
        case kAudioUnitGetParameterSelect:
            self->getAUParameter(slot<UInt32>(params, 1), slot<UInt32>(params, 2), slot<UInt32>(params, 3),
                                 slot<Float32*>(params, 4));
            break;
        case kAudioUnitSetParameterSelect:
            self->setAUParameter(slot<UInt32>(params, 1), slot<UInt32>(params, 2), slot<UInt32>(params, 3),
                                 slot<Float32>(params, 4));
            break;
        case kAudioUnitResetSelect: self->reset(slot<UInt32>(params, 1), slot<UInt32>(params, 2)); break;
        case kAudioUnitAddPropertyListenerSelect:
            self->addPropertyListener(slot<UInt32>(params, 1), slot<AudioUnitPropertyListenerProc>(params, 2),
                                      slot<void*>(params, 3));
            break;
        case kAudioUnitRenderSelect:
            self->render(slot<AudioUnitRenderActionFlags*>(params, 1), slot<const AudioTimeStamp*>(params, 2),
                         slot<UInt32>(params, 3), slot<UInt32>(params, 4), slot<AudioBufferList*>(params, 5));
            break;
        case kAudioUnitAddRenderNotifySelect:
            self->addRenderNotify(slot<AURenderCallback>(params, 1), slot<void*>(params, 2));
            break;
        case kAudioUnitRemoveRenderNotifySelect:
            self->removeRenderNotify(slot<AURenderCallback>(params, 1), slot<void*>(params, 2));
            break;
        case kAudioUnitScheduleParametersSelect:
            self->scheduleParameters(slot<const AudioUnitParameterEvent*>(params, 1), slot<UInt32>(params, 2));
            break;
        case kAudioUnitRemovePropertyListenerWithUserDataSelect:
            self->removePropertyListenerWithUserData(slot<UInt32>(params, 1), slot<AudioUnitPropertyListenerProc>(params, 2),
                                                     slot<void*>(params, 3));
            break;
        case kMusicDeviceMIDIEventSelect:
            self->midiEvent(slot<UInt32>(params, 1), slot<UInt32>(params, 2), slot<UInt32>(params, 3), slot<UInt32>(params, 4));
            break;
        default:
            return badComponentSelector;
        }
        return noErr;
    } catch (...) {
        return statusFromCurrentException();
    }
}

} // namespace q9framework
