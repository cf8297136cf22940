#pragma once

// The host side of one Audio Unit instance, as our Audio Unit test host (and the component's tests)
// hold it: the instance record with its host-services table, the Component Manager calls through the
// component's entry, and a record of everything the component reports back (listener notifications,
// events, timers).

#include "auwrapper/platform/HostServices.h"

#include <cstring>
#include <string>
#include <vector>

namespace kelvane {

/** One instance of a component, opened through its entry function.

    The instance record handed to the component starts with the published word (pointing at this
    host's services table); `this` follows it, so the services find their instance again. Source units
    of connections are other AUHostInstance objects (their `unit()`).

    Not copyable. Single-threaded, like the host programs and tests that use it: timers fire only when
    `fireTimers` is called. Nothing throws. */
class AUHostInstance {
public:
    /** `description`, `version` and `name` are what the host registered for the component (from its
        bundle's AudioComponents entry). `hostInfo` is the host application's information dictionary
        (lent; may be null). */
    AUHostInstance(ComponentRoutine entry, const AudioComponentDescription& description, UInt32 version,
                   const std::string& name, CFDictionaryRef hostInfo = nullptr);
    /** Closes the instance when it is still open. */
    ~AUHostInstance();
    AUHostInstance(const AUHostInstance&) = delete;
    AUHostInstance& operator=(const AUHostInstance&) = delete;

    /** The open selector; then the component's storage is known. */
    OSStatus open();
    OSStatus close();
    bool isOpen() const noexcept { return storage != nullptr; }
    AudioUnit unit() noexcept { return &record.base; }
    Handle getStorage() const noexcept { return storage; }

    /** Any selector with the instance in slot 0 and its arguments in slots 1.. (open, close, version
        and the Audio Unit calls). Each argument fills one 8-byte slot. */
    template <typename... Args>
    OSStatus call(SInt16 selector, Args... args)
    {
        long slots[1 + sizeof...(Args)] = {reinterpret_cast<long>(unit())};
        int i = 1;
        (store(slots[i++], args), ...);
        return callWithSlots(selector, slots, 1 + static_cast<int>(sizeof...(Args)));
    }
    /** The can-do selector about `selector`, which stands in slot 0 (can-do carries no instance). */
    OSStatus canDo(SInt16 selector);

    // The Audio Unit calls a host makes, by name.
    OSStatus initialize() { return call(kAudioUnitInitializeSelect); }
    OSStatus uninitialize() { return call(kAudioUnitUninitializeSelect); }
    OSStatus getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32* size,
                             Boolean* writable)
    {
        return call(kAudioUnitGetPropertyInfoSelect, id, scope, element, size, writable);
    }
    OSStatus getProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, void* data, UInt32* size)
    {
        return call(kAudioUnitGetPropertySelect, id, scope, element, data, size);
    }
    OSStatus setProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const void* data, UInt32 size)
    {
        return call(kAudioUnitSetPropertySelect, id, scope, element, data, size);
    }
    OSStatus getParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element, Float32* value)
    {
        return call(kAudioUnitGetParameterSelect, id, scope, element, value);
    }
    OSStatus setParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element, Float32 value,
                          UInt32 offset = 0)
    {
        return call(kAudioUnitSetParameterSelect, id, scope, element, value, offset);
    }
    OSStatus reset(AudioUnitScope scope = kAudioUnitScope_Global, AudioUnitElement element = 0)
    {
        return call(kAudioUnitResetSelect, scope, element);
    }
    OSStatus render(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                    AudioBufferList* data)
    {
        return call(kAudioUnitRenderSelect, flags, timeStamp, bus, frames, data);
    }

    /** Convenience: one value of a fixed-size property. */
    template <typename T>
    OSStatus get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, T& value)
    {
        UInt32 size = sizeof value;
        return getProperty(id, scope, element, &value, &size);
    }
    template <typename T>
    OSStatus set(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const T& value)
    {
        return setProperty(id, scope, element, &value, sizeof value);
    }

    /** The view factory class registered under `className` by any component of this process (the
        host's object runtime); null when none is. */
    static const AUCocoaViewFactoryClass* findViewFactoryClass(const std::string& className);
    /** Registers a class as a component does; an error when the name is taken. */
    static OSStatus registerViewFactoryClass(const AUCocoaViewFactoryClass* factoryClass);

    /** Fires every installed timer once (as the host's event loop would after their interval). */
    int fireTimers();
    int installedTimerCount() const;

    // What the component reported, in order.
    std::vector<AudioUnitEvent> events;                   // AUEventListenerNotify
    std::vector<AudioUnitParameter> parameterNotices;      // AUParameterListenerNotify
    /** Status AUParameterListenerNotify answers (tests make it fail). */
    OSStatus parameterNotifyStatus = noErr;

    struct Timer {
        double firstDelay;
        double interval;
        EventLoopTimerProcPtr proc;
        void* userData;
        bool installed;
    };
    std::vector<Timer> timers;

private:
    struct Record {
        ComponentInstanceRecord base;   // first: the component reads only base.data[0]
        AUHostInstance* owner;
    };
    /** Builds the parameter block (flags, size, selector, then the slots) and calls the entry. */
    OSStatus callWithSlots(SInt16 selector, const long* slots, int count);
    template <typename T>
    static void store(long& slot, T value)
    {
        static_assert(sizeof(T) <= sizeof(long), "one argument per slot");
        slot = 0;
        std::memcpy(&slot, &value, sizeof value);
    }
    static AUHostInstance* owner(ComponentInstance instance);
    static const AudioUnitHostServices services;
    friend struct AUHostServicesImpl;

    Record record{};
    ComponentRoutine entry;
    AudioComponentDescription description;
    UInt32 version;
    std::string name;
    CFDictionaryRef hostInfo;
    Handle storage = nullptr;
};

} // namespace kelvane
