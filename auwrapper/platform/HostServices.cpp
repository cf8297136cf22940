// Routing of the wrapper's host calls through the table its instance record points at. Render and
// notification calls come from the audio thread too: they only read two pointers and call through.

#include "auwrapper/platform/HostServices.h"

#include <cstddef>

namespace {

// The entry `member` (at `offset`) of the instance's table, or null when the table is missing or was
// built before the entry existed.
template <typename Member>
Member serviceOf(ComponentInstance instance, Member AudioUnitHostServices::*member, size_t offset) noexcept
{
    const AudioUnitHostServices* services = AudioUnitGetHostServices(instance);
    if (services == nullptr || services->structSize < offset + sizeof(Member))
        return nullptr;
    return services->*member;
}

} // namespace

#define SERVICE(instance, name) serviceOf(instance, &AudioUnitHostServices::name, offsetof(AudioUnitHostServices, name))

const AudioUnitHostServices* AudioUnitGetHostServices(ComponentInstance instance)
{
    if (instance == nullptr)
        return nullptr;
    return reinterpret_cast<const AudioUnitHostServices*>(instance->data[0]);
}

OSStatus AUEventListenerNotify(AUEventListenerRef sender, void* sendingObject, const AudioUnitEvent* event)
{
    if (event == nullptr)
        return paramErr;
    // Both members of the union start with the unit.
    auto notify = SERVICE(event->mArgument.mParameter.mAudioUnit, eventListenerNotify);
    return notify != nullptr ? notify(sender, sendingObject, event) : unimpErr;
}

OSStatus AUParameterListenerNotify(AUParameterListenerRef sender, void* sendingObject, const AudioUnitParameter* parameter)
{
    if (parameter == nullptr)
        return paramErr;
    auto notify = SERVICE(parameter->mAudioUnit, parameterListenerNotify);
    return notify != nullptr ? notify(sender, sendingObject, parameter) : unimpErr;
}

OSStatus AudioUnitGetProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                              void* data, UInt32* size)
{
    auto get = SERVICE(unit, getProperty);
    return get != nullptr ? get(unit, id, scope, element, data, size) : unimpErr;
}

OSStatus AudioUnitRender(AudioUnit unit, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                         UInt32 bus, UInt32 frames, AudioBufferList* data)
{
    auto render = SERVICE(unit, render);
    return render != nullptr ? render(unit, flags, timeStamp, bus, frames, data) : unimpErr;
}

OSStatus AudioUnitGetComponentDescription(ComponentInstance instance, AudioComponentDescription* description)
{
    if (description == nullptr)
        return paramErr;
    auto get = SERVICE(instance, getComponentDescription);
    return get != nullptr ? get(instance, description) : unimpErr;
}

OSStatus AudioUnitGetComponentVersion(ComponentInstance instance, UInt32* version)
{
    if (version == nullptr)
        return paramErr;
    auto get = SERVICE(instance, getComponentVersion);
    return get != nullptr ? get(instance, version) : unimpErr;
}

CFStringRef AudioUnitCopyComponentName(ComponentInstance instance)
{
    auto get = SERVICE(instance, getComponentName);
    const char* name = get != nullptr ? get(instance) : nullptr;
    return name != nullptr ? q9framework::cf::createString(name) : nullptr;
}

void SetComponentInstanceStorage(ComponentInstance instance, Handle storage)
{
    if (auto set = SERVICE(instance, setInstanceStorage))
        set(instance, storage);
}

Handle GetComponentInstanceStorage(ComponentInstance instance)
{
    auto get = SERVICE(instance, getInstanceStorage);
    return get != nullptr ? get(instance) : nullptr;
}

OSStatus AudioUnitInstallEventLoopTimer(ComponentInstance instance, EventTimerInterval firstDelay,
                                        EventTimerInterval interval, EventLoopTimerProcPtr proc, void* userData,
                                        EventLoopTimerRef* outTimer)
{
    if (outTimer == nullptr || proc == nullptr)
        return paramErr;
    *outTimer = nullptr;
    auto install = SERVICE(instance, installEventLoopTimer);
    if (install == nullptr)
        return unimpErr;
    const OSStatus status = install(instance, firstDelay, interval, proc, userData, outTimer);
    if (status != noErr)
        *outTimer = nullptr;
    return status;
}

OSStatus AudioUnitRemoveEventLoopTimer(ComponentInstance instance, EventLoopTimerRef timer)
{
    if (timer == nullptr)
        return paramErr;
    auto remove = SERVICE(instance, removeEventLoopTimer);
    return remove != nullptr ? remove(instance, timer) : unimpErr;
}

CFDictionaryRef AudioUnitGetHostInfoDictionary(ComponentInstance instance)
{
    auto get = SERVICE(instance, getHostInfoDictionary);
    return get != nullptr ? get(instance) : nullptr;
}

OSStatus AudioUnitRegisterViewFactoryClass(ComponentInstance instance, const AUCocoaViewFactoryClass* factoryClass)
{
    if (factoryClass == nullptr || factoryClass->className == nullptr)
        return paramErr;
    auto registerClass = SERVICE(instance, registerViewFactoryClass);
    return registerClass != nullptr ? registerClass(factoryClass) : unimpErr;
}
