#include "tools/au/AUHostInstance.h"

#include <cstddef>
#include <map>

namespace kelvane {

struct AUHostServicesImpl {
    static OSStatus eventNotify(AUEventListenerRef, void*, const AudioUnitEvent* event)
    {
        AUHostInstance* host = AUHostInstance::owner(event->mArgument.mParameter.mAudioUnit);
        if (host == nullptr)
            return paramErr;
        host->events.push_back(*event);
        return noErr;
    }
    static OSStatus parameterNotify(AUParameterListenerRef, void*, const AudioUnitParameter* parameter)
    {
        AUHostInstance* host = AUHostInstance::owner(parameter->mAudioUnit);
        if (host == nullptr)
            return paramErr;
        host->parameterNotices.push_back(*parameter);
        return host->parameterNotifyStatus;
    }
    static OSStatus getProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                void* data, UInt32* size)
    {
        AUHostInstance* host = AUHostInstance::owner(unit);
        return host != nullptr ? host->getProperty(id, scope, element, data, size) : badComponentInstance;
    }
    static OSStatus render(AudioUnit unit, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                           UInt32 frames, AudioBufferList* data)
    {
        AUHostInstance* host = AUHostInstance::owner(unit);
        return host != nullptr ? host->render(flags, timeStamp, bus, frames, data) : badComponentInstance;
    }
    static OSStatus description(ComponentInstance instance, AudioComponentDescription* out)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        if (host == nullptr || out == nullptr)
            return badComponentInstance;
        *out = host->description;
        return noErr;
    }
    static OSStatus version(ComponentInstance instance, UInt32* out)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        if (host == nullptr || out == nullptr)
            return badComponentInstance;
        *out = host->version;
        return noErr;
    }
    static const char* name(ComponentInstance instance)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        return host != nullptr ? host->name.c_str() : nullptr;
    }
    static void setStorage(ComponentInstance instance, Handle storage)
    {
        if (AUHostInstance* host = AUHostInstance::owner(instance))
            host->storage = storage;
    }
    static Handle getStorage(ComponentInstance instance)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        return host != nullptr ? host->storage : nullptr;
    }
    // A timer's reference is its index + 1 in the list of the instance it was installed for.
    static OSStatus installTimer(ComponentInstance instance, EventTimerInterval firstDelay, EventTimerInterval interval,
                                 EventLoopTimerProcPtr proc, void* userData, EventLoopTimerRef* outTimer)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        if (host == nullptr || proc == nullptr)
            return paramErr;
        host->timers.push_back(AUHostInstance::Timer{firstDelay, interval, proc, userData, true});
        if (outTimer != nullptr)
            *outTimer = reinterpret_cast<EventLoopTimerRef>(host->timers.size());
        return noErr;
    }
    static OSStatus removeTimer(ComponentInstance instance, EventLoopTimerRef timer)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        if (host == nullptr)
            return paramErr;
        const size_t index = reinterpret_cast<size_t>(timer);
        if (index == 0 || index > host->timers.size() || !host->timers[index - 1].installed)
            return paramErr;
        host->timers[index - 1].installed = false;
        return noErr;
    }
    static CFDictionaryRef hostInfo(ComponentInstance instance)
    {
        AUHostInstance* host = AUHostInstance::owner(instance);
        return host != nullptr ? host->hostInfo : nullptr;
    }
    // The process's object runtime for view factory classes: name -> class, kept for the process.
    static std::map<std::string, const AUCocoaViewFactoryClass*>& viewFactoryClasses()
    {
        static std::map<std::string, const AUCocoaViewFactoryClass*> classes;
        return classes;
    }
    static OSStatus registerViewFactoryClass(const AUCocoaViewFactoryClass* factoryClass)
    {
        if (factoryClass == nullptr || factoryClass->className == nullptr)
            return paramErr;
        return viewFactoryClasses().emplace(factoryClass->className, factoryClass).second ? noErr : kAudioUnitErr_InvalidPropertyValue;
    }
};

const AudioUnitHostServices AUHostInstance::services = {
    sizeof(AudioUnitHostServices),
    &AUHostServicesImpl::eventNotify,
    &AUHostServicesImpl::parameterNotify,
    &AUHostServicesImpl::getProperty,
    &AUHostServicesImpl::render,
    &AUHostServicesImpl::description,
    &AUHostServicesImpl::version,
    &AUHostServicesImpl::name,
    &AUHostServicesImpl::setStorage,
    &AUHostServicesImpl::getStorage,
    &AUHostServicesImpl::installTimer,
    &AUHostServicesImpl::removeTimer,
    &AUHostServicesImpl::hostInfo,
    &AUHostServicesImpl::registerViewFactoryClass,
};

const AUCocoaViewFactoryClass* AUHostInstance::findViewFactoryClass(const std::string& className)
{
    const auto& classes = AUHostServicesImpl::viewFactoryClasses();
    const auto found = classes.find(className);
    return found != classes.end() ? found->second : nullptr;
}

OSStatus AUHostInstance::registerViewFactoryClass(const AUCocoaViewFactoryClass* factoryClass)
{
    return AUHostServicesImpl::registerViewFactoryClass(factoryClass);
}

AUHostInstance::AUHostInstance(ComponentRoutine entryFunction, const AudioComponentDescription& registered,
                               UInt32 registeredVersion, const std::string& registeredName, CFDictionaryRef hostInformation)
    : entry(entryFunction), description(registered), version(registeredVersion), name(registeredName), hostInfo(hostInformation)
{
    record.base.data[0] = reinterpret_cast<long>(&services);
    record.owner = this;
}

AUHostInstance::~AUHostInstance()
{
    close();
}

AUHostInstance* AUHostInstance::owner(ComponentInstance instance)
{
    if (instance == nullptr || instance->data[0] != reinterpret_cast<long>(&services))
        return nullptr;
    return reinterpret_cast<Record*>(instance)->owner;
}

OSStatus AUHostInstance::open()
{
    if (storage != nullptr)
        return noErr;
    return call(kComponentOpenSelect);
}

OSStatus AUHostInstance::close()
{
    if (storage == nullptr)
        return noErr;
    const OSStatus status = call(kComponentCloseSelect);
    storage = nullptr;
    return status;
}

OSStatus AUHostInstance::callWithSlots(SInt16 selector, const long* slots, int count)
{
    if (count < 1 || count > 16)
        return paramErr;
    // The published block is declared with one slot; a real one is as long as the call needs.
    alignas(ComponentParameters) unsigned char block[offsetof(ComponentParameters, params) + 16 * sizeof(long)] = {};
    auto* header = reinterpret_cast<ComponentParameters*>(block);
    header->what = selector;
    header->paramSize = static_cast<UInt8>(sizeof(long) * static_cast<size_t>(count - 1));
    std::memcpy(block + offsetof(ComponentParameters, params), slots, sizeof(long) * static_cast<size_t>(count));
    return entry(header, storage);
}

OSStatus AUHostInstance::canDo(SInt16 selector)
{
    // Can-do has no instance argument: the selector asked about is its one argument, in the first slot.
    long slots[1] = {0};
    store(slots[0], selector);
    return callWithSlots(kComponentCanDoSelect, slots, 1);
}

int AUHostInstance::fireTimers()
{
    int fired = 0;
    for (size_t i = 0; i < timers.size(); ++i)
        if (timers[i].installed) {
            timers[i].proc(reinterpret_cast<EventLoopTimerRef>(i + 1), timers[i].userData);
            ++fired;
        }
    return fired;
}

int AUHostInstance::installedTimerCount() const
{
    int count = 0;
    for (const Timer& t : timers)
        count += t.installed ? 1 : 0;
    return count;
}

} // namespace kelvane
