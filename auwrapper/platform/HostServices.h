#pragma once

// What the Audio Unit wrapper calls on its host, on Linux: the services the Mac's Audio Toolbox,
// Component Manager and Carbon event loop give a component. Whoever loads the component fills one
// table of function pointers and hands it over through the instance record (below); the wrapper
// reaches it through the functions at the end, which carry the published names where there is one.
//
// The handover: an instance record on the Mac is opaque to the component. Here its one published
// word, `data[0]`, holds the address of the host's AudioUnitHostServices table, set by the host before
// it sends the open selector and valid until close. The host may make its record larger (its own
// fields after the first word); the wrapper reads only that word. No extra exported symbol is needed,
// and each instance may have a different host.

#include "auwrapper/platform/AudioUnitInterface.h"
#include "auwrapper/platform/CocoaView.h"

typedef struct OpaqueEventLoopTimerRef* EventLoopTimerRef;
typedef double EventTimerInterval;   // seconds
typedef void (*EventLoopTimerProcPtr)(EventLoopTimerRef inTimer, void* inUserData);

/** The host's side, one table per host (may be shared by all its instances).
    Every pointer may be null: the wrapper then gets unimpErr (-4) or a null/empty answer, never a crash.
    Threads: the notifications and the source-unit calls may come from the render thread; the rest
    from the main thread. The table must outlive every instance that points at it. */
struct AudioUnitHostServices {
    /** sizeof(AudioUnitHostServices) as the host was built; members past it count as missing, so an
        older host works with a newer wrapper. */
    UInt32 structSize;

    // Listener notifications (AudioToolbox). The instance is inside the event / parameter.
    AUEventListenerNotifyProc eventListenerNotify;
    AUParameterListenerNotifyProc parameterListenerNotify;

    // Calls on another unit: the source of a connection (its own record also points at a table).
    AudioUnitGetPropertyProc getProperty;
    AudioUnitRenderProc render;

    // The component as registered (the AudioComponents entry of Info.plist): description, version
    // (0xMMMMmmDD) and name ("Maker: Product"; the host keeps it, the wrapper copies it).
    OSStatus (*getComponentDescription)(ComponentInstance instance, AudioComponentDescription* outDescription);
    OSStatus (*getComponentVersion)(ComponentInstance instance, UInt32* outVersion);
    const char* (*getComponentName)(ComponentInstance instance);

    // The Component Manager's instance storage: set by the component at open, handed back as the
    // entry's `storage` argument on every later call.
    void (*setInstanceStorage)(ComponentInstance instance, Handle storage);
    Handle (*getInstanceStorage)(ComponentInstance instance);

    // Timers on the host's main event loop, fired on its main thread: first after `firstDelay`, then
    // every `interval` seconds (0: once). The instance says whose timer it is, so a host can keep them
    // per instance.
    OSStatus (*installEventLoopTimer)(ComponentInstance instance, EventTimerInterval firstDelay,
                                      EventTimerInterval interval, EventLoopTimerProcPtr proc, void* userData,
                                      EventLoopTimerRef* outTimer);
    OSStatus (*removeEventLoopTimer)(ComponentInstance instance, EventLoopTimerRef timer);

    /** The host application's information dictionary (its main bundle's, on the Mac), as the host shows
        it to `instance`: at least "CFBundleIdentifier" and "CFBundleShortVersionString" when it has them.
        Lent; may be null. */
    CFDictionaryRef (*getHostInfoDictionary)(ComponentInstance instance);

    /** The object runtime's class registration, for the editor view's factory class (CocoaView.h):
        the host keeps the class under its name for the whole process (classes are never disposed) and
        finds it again by the name the CocoaUI property gives. Answers an error when the process
        already has a class of that name (another bundle's), so the component takes another name. */
    OSStatus (*registerViewFactoryClass)(const AUCocoaViewFactoryClass* factoryClass);
};

/** The table of `instance`; null when the instance or its first word is null. */
const AudioUnitHostServices* AudioUnitGetHostServices(ComponentInstance instance);

// ---- what the wrapper calls ------------------------------------------------------------------------------
// Each finds the table through the instance named in its arguments; without a table or that entry:
// unimpErr, null, or nothing. None of them throws.

OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject, const AudioUnitEvent* inEvent);
OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                   const AudioUnitParameter* inParameter);
OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, void* outData, UInt32* ioDataSize);
OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                         UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData);

OSStatus AudioUnitGetComponentDescription(ComponentInstance instance, AudioComponentDescription* outDescription);
OSStatus AudioUnitGetComponentVersion(ComponentInstance instance, UInt32* outVersion);
/** The registered name as a new string (Create rule); null when the host gives none. */
CFStringRef AudioUnitCopyComponentName(ComponentInstance instance);

void SetComponentInstanceStorage(ComponentInstance instance, Handle storage);
Handle GetComponentInstanceStorage(ComponentInstance instance);

/** `outTimer` is set to null on failure. */
OSStatus AudioUnitInstallEventLoopTimer(ComponentInstance instance, EventTimerInterval firstDelay,
                                        EventTimerInterval interval, EventLoopTimerProcPtr proc, void* userData,
                                        EventLoopTimerRef* outTimer);
OSStatus AudioUnitRemoveEventLoopTimer(ComponentInstance instance, EventLoopTimerRef timer);

/** Registers the view factory class with the process's host (see the table); unimpErr without one. */
OSStatus AudioUnitRegisterViewFactoryClass(ComponentInstance instance, const AUCocoaViewFactoryClass* factoryClass);

/** The host application's information dictionary, lent; null when unknown. */
CFDictionaryRef AudioUnitGetHostInfoDictionary(ComponentInstance instance);
