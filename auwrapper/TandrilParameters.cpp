// TandrilComponent's configuration (TDConfig), host compatibility modes, the published parameter table
// from "TDParameters.txt", and the conversion of values and texts between the host and the effect.

#include "auwrapper/TandrilComponent.h"

#include "auwrapper/ParameterFile.h"
#include "auwrapper/ResourceText.h"
#include "auwrapper/platform/FileSystem.h"

#include <cmath>
#include <cstring>

namespace q9framework {

using namespace cf;

namespace {

bool isSteppedUnit(AudioUnitParameterUnit unit)
{
    return unit == kAudioUnitParameterUnit_Indexed || unit == kAudioUnitParameterUnit_Boolean;
}

} // namespace

void TandrilComponent::readConfig()
{
    CFDictionaryRef info = bundle.getInfoDictionary();
    if (info == nullptr)
        throw TandrilException("Could not get info dictionary for bundle");
    const void* config = CFDictionaryGetValue(info, CFSTR("TDConfig"));
    if (config == nullptr)
        throw TandrilException("Missing key in dictionary");
    if (CFGetTypeID(config) != CFDictionaryGetTypeID())
        throw FormatException("Value in dictionary is not of expected type");
    auto flag = [config](const char* key) {
        const void* value = CFDictionaryGetValue(static_cast<CFDictionaryRef>(config), constantString(key));
        if (value == nullptr)
            throw TandrilException("Missing key in dictionary");
        if (CFGetTypeID(value) != CFBooleanGetTypeID())
            throw FormatException("Value in dictionary is not of expected type");
        return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0;
    };
    autoConvertPresets = flag("AutoConvertPresets");
    presetIsFXB = flag("PresetIsFXB");
    updateNameOnLoad = flag("UpdateNameOnLoad");
    canDoMonoIO = flag("CanDoMonoIO");
}

void TandrilComponent::detectHostQuirk()
{
    hostQuirk = 0;
    CFDictionaryRef info = AudioUnitGetHostInfoDictionary(instance);
    const void* identifier = CFDictionaryGetValue(info, CFSTR("CFBundleIdentifier"));
    const void* version = CFDictionaryGetValue(info, CFSTR("CFBundleShortVersionString"));
    if (identifier == nullptr || version == nullptr || CFGetTypeID(identifier) != CFStringGetTypeID()
        || CFGetTypeID(version) != CFStringGetTypeID())
        return;
    const auto id = static_cast<CFStringRef>(identifier);
    auto versionBelow = [version](const char* limit) {
        return CFStringCompare(static_cast<CFStringRef>(version), constantString(limit),
                               kCFCompareNumerically | kCFCompareCaseInsensitive)
               == kCFCompareLessThan;
    };
    if (CFEqual(id, CFSTR("com.apple.logic.pro")) || CFEqual(id, CFSTR("com.apple.logic.express"))) {
        if (versionBelow("8.0.0"))
            hostQuirk = 1;
        else if (versionBelow("8.0.1"))
            hostQuirk = 3;
    } else if (CFEqual(id, CFSTR("com.apple.garageband"))) {
        if (versionBelow("4.2"))
            hostQuirk = 2;
    }
}

void TandrilComponent::loadParameterFile()
{
    const std::string text = readResourceText(fs::appendPathComponent(resourcesDir, "TDParameters.txt"));
    const std::vector<ParameterLine> lines = parseParameterFile(text, effect().numParams);
    mappedParameters.clear();
    for (const ParameterLine& line : lines) {
        AudioUnitParameterInfo& info = parameterInfo[static_cast<size_t>(line.index)];
        std::strncpy(info.name, line.name.c_str(), sizeof info.name - 1);
        info.name[sizeof info.name - 1] = '\0';
        const bool hasUnitName = !line.unitName.empty() && line.unitName != "-";
        info.unitName = hasUnitName ? createStringUTF8OrMacRoman(line.unitName) : nullptr;
        info.clumpID = 0;
        info.cfNameString = createStringUTF8OrMacRoman(line.name);
        info.unit = hasUnitName ? kAudioUnitParameterUnit_CustomUnit : kAudioUnitParameterUnit_Generic;
        info.minValue = line.minValue;
        info.maxValue = line.maxValue;
        info.defaultValue = line.defaultValue;
        info.flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable
                     | kAudioUnitParameterFlag_HasCFNameString;
        if (line.kind == "?" || line.kind == "i")
            info.flags |= kAudioUnitParameterFlag_ValuesHaveStrings;
        if (line.globalMeta)
            info.flags |= kAudioUnitParameterFlag_IsGlobalMeta;
        if (line.kind == "b") {
            info.unit = kAudioUnitParameterUnit_Boolean;
        } else if (line.kind == "i") {
            info.unit = kAudioUnitParameterUnit_Indexed;
        } else if (line.kind != "=" && line.kind != "?") {
            info.unit = kAudioUnitParameterUnit_Indexed;
            CFMutableArrayRef names = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
            for (const std::string& name : line.valueNames()) {
                CFRef<CFStringRef> string(createStringUTF8OrMacRoman(name));
                CFArrayAppendValue(names, string.get());
            }
            parameterValueStrings[static_cast<size_t>(line.index)] = names;
        }
        mappedParameters.push_back(static_cast<AudioUnitParameterID>(line.index));
    }
    mappedParameterCount = static_cast<int>(mappedParameters.size());
}

void TandrilComponent::checkParameter(AudioUnitParameterID id, AudioUnitScope scope) const
{
    if (scope != kAudioUnitScope_Global)
        throw MacOSException(kAudioUnitErr_InvalidScope);
    if (id >= parameterInfo.size())
        throw MacOSException(kAudioUnitErr_InvalidParameter);
}

Float32 TandrilComponent::toHostValue(AudioUnitParameterID id, float normalised) const
{
    const AudioUnitParameterInfo& info = parameterInfo[id];
    const Float32 value = info.minValue + (info.maxValue - info.minValue) * normalised;
    return isSteppedUnit(info.unit) ? std::floor(value + 0.5f) : value;
}

void TandrilComponent::getAUParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement, Float32* outValue)
{
    checkParameter(id, scope);
    const Float32 value = toHostValue(id, plugIn->getParameter(static_cast<int32_t>(id)));
    if (outValue != nullptr)
        *outValue = value;
}

void TandrilComponent::setAUParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement, Float32 value)
{
    checkParameter(id, scope);
    const AudioUnitParameterInfo& info = parameterInfo[id];
    plugIn->setParameter(static_cast<int32_t>(id), (value - info.minValue) / (info.maxValue - info.minValue));
}

void TandrilComponent::scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count)
{
    for (UInt32 i = 0; i < count && events != nullptr; ++i) {
        const AudioUnitParameterEvent& event = events[i];
        checkParameter(event.parameter, event.scope);
        if (event.eventType == kParameterEvent_Immediate)
            setAUParameter(event.parameter, event.scope, event.element, event.eventValues.immediate.value);
    }
}

void TandrilComponent::parameterStringFromValue(AudioUnitParameterStringFromValue& request)
{
    if (request.inParamID >= parameterInfo.size())
        throw MacOSException(kAudioUnitErr_InvalidParameter);
    request.outString = nullptr;
    const AudioUnitParameterInfo& info = parameterInfo[request.inParamID];
    char buffer[VSTPlugIn::extensionBufferSize] = {};
    if (request.inValue != nullptr) {
        const float normalised = (*request.inValue - info.minValue) / (info.maxValue - info.minValue);
        std::memcpy(buffer, &normalised, sizeof normalised);
        if (plugIn->vendorSpecific(VSTPlugIn::extensionValueToString, static_cast<VstIntPtr>(request.inParamID), buffer) == 0)
            throw MacOSException(kAudioUnitErr_InvalidProperty);
        buffer[sizeof buffer - 1] = '\0';
    } else {
        const std::string display = plugIn->getParameterDisplay(static_cast<int32_t>(request.inParamID));
        std::strncpy(buffer, display.c_str(), sizeof buffer - 1);
    }
    const char* text = buffer;
    while (*text == ' ')
        ++text;
    request.outString = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingMacRoman);
}

void TandrilComponent::parameterValueFromString(AudioUnitParameterValueFromString& request)
{
    if (request.inParamID >= parameterInfo.size())
        throw MacOSException(kAudioUnitErr_InvalidParameter);
    request.outValue = 0.0f;
    char buffer[VSTPlugIn::extensionBufferSize] = {};
    if (!CFStringGetCString(request.inString, buffer, sizeof buffer, kCFStringEncodingMacRoman))
        buffer[0] = '\0';
    if (plugIn->vendorSpecific(VSTPlugIn::extensionStringToValue, static_cast<VstIntPtr>(request.inParamID), buffer) == 0)
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    float normalised = 0.0f;
    std::memcpy(&normalised, buffer, sizeof normalised);
    request.outValue = toHostValue(request.inParamID, normalised);
}

} // namespace q9framework
