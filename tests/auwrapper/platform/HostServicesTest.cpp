// The host-services table reached through the instance record, as the wrapper reaches it: every call
// lands at the host with its arguments, and an instance without a table (or with an older, shorter
// table) gets unimpErr instead of a crash.

#include "auwrapper/platform/HostServices.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

using namespace q9framework::cf;

namespace {

// A host that records what reaches it.
struct RecordingHost {
    std::vector<AudioUnitEvent> events;
    std::vector<AudioUnitParameter> parameters;
    Handle storage = nullptr;
    std::vector<std::pair<double, double>> timers;
    int renders = 0;
};
RecordingHost* host = nullptr;

OSStatus recordEvent(AUEventListenerRef, void*, const AudioUnitEvent* event)
{
    host->events.push_back(*event);
    return noErr;
}
OSStatus recordParameter(AUParameterListenerRef, void*, const AudioUnitParameter* parameter)
{
    host->parameters.push_back(*parameter);
    return noErr;
}
OSStatus describe(ComponentInstance, AudioComponentDescription* description)
{
    *description = {kAudioUnitType_Effect, fourCharCode("KvLn"), fourCharCode("Vlmr"), 0, 0};
    return noErr;
}
OSStatus version(ComponentInstance, UInt32* out)
{
    *out = 0x00010203;
    return noErr;
}
const char* name(ComponentInstance) { return "Velmora Audio Technologies: Kelvane"; }
void setStorage(ComponentInstance, Handle storage) { host->storage = storage; }
Handle getStorage(ComponentInstance) { return host->storage; }
OSStatus install(EventTimerInterval delay, EventTimerInterval interval, EventLoopTimerProcPtr, void*, EventLoopTimerRef* out)
{
    host->timers.emplace_back(delay, interval);
    *out = reinterpret_cast<EventLoopTimerRef>(host->timers.size());
    return noErr;
}
OSStatus refuseTimer(EventTimerInterval, EventTimerInterval, EventLoopTimerProcPtr, void*, EventLoopTimerRef* out)
{
    *out = reinterpret_cast<EventLoopTimerRef>(1);   // a host that scribbles before failing
    return memFullErr;
}
OSStatus render(AudioUnit, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32 frames, AudioBufferList*)
{
    ++host->renders;
    *flags |= kAudioUnitRenderAction_OutputIsSilence;
    return frames > 4096 ? paramErr : noErr;
}
CFDictionaryRef hostInfo()
{
    static CFDictionaryRef info = [] {
        const void* keys[] = {CFSTR("CFBundleIdentifier"), CFSTR("CFBundleShortVersionString")};
        const void* values[] = {CFSTR("com.apple.logic.pro"), CFSTR("8.0.0")};
        return CFDictionaryCreate(nullptr, keys, values, 2, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    }();
    return info;
}

AudioUnitHostServices fullTable()
{
    AudioUnitHostServices services {};
    services.structSize = sizeof(AudioUnitHostServices);
    services.eventListenerNotify = recordEvent;
    services.parameterListenerNotify = recordParameter;
    services.render = render;
    services.getComponentDescription = describe;
    services.getComponentVersion = version;
    services.getComponentName = name;
    services.setInstanceStorage = setStorage;
    services.getInstanceStorage = getStorage;
    services.installEventLoopTimer = install;
    services.getHostInfoDictionary = hostInfo;
    return services;
}

class HostServices : public ::testing::Test {
protected:
    RecordingHost recorder;
    AudioUnitHostServices services = fullTable();
    ComponentInstanceRecord record {{reinterpret_cast<long>(&services)}};
    ComponentInstance instance = &record;
    void SetUp() override { host = &recorder; }
    void TearDown() override { host = nullptr; }
};

} // namespace

TEST_F(HostServices, NotificationsReachTheHostOfTheInstanceInsideThem)
{
    AudioUnitEvent event {};
    event.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
    event.mArgument.mParameter = {instance, 3, kAudioUnitScope_Global, 0};
    EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &event), noErr);
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].mEventType, kAudioUnitEvent_BeginParameterChangeGesture);
    EXPECT_EQ(recorder.events[0].mArgument.mParameter.mParameterID, 3u);

    event.mEventType = kAudioUnitEvent_PropertyChange;
    event.mArgument.mProperty = {instance, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0};
    EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &event), noErr);
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[1].mArgument.mProperty.mPropertyID, kAudioUnitProperty_Latency);

    const AudioUnitParameter parameter {instance, 6, kAudioUnitScope_Global, 0};
    EXPECT_EQ(AUParameterListenerNotify(nullptr, nullptr, &parameter), noErr);
    ASSERT_EQ(recorder.parameters.size(), 1u);
    EXPECT_EQ(recorder.parameters[0].mParameterID, 6u);
    EXPECT_EQ(AUParameterListenerNotify(nullptr, nullptr, nullptr), paramErr);
}

TEST_F(HostServices, ComponentFactsStorageTimersAndHostIdentityComeFromTheTable)
{
    AudioComponentDescription description {};
    EXPECT_EQ(AudioUnitGetComponentDescription(instance, &description), noErr);
    EXPECT_EQ(description.componentSubType, fourCharCode("KvLn"));
    UInt32 componentVersion = 0;
    EXPECT_EQ(AudioUnitGetComponentVersion(instance, &componentVersion), noErr);
    EXPECT_EQ(componentVersion, 0x00010203u);
    CFRef<CFStringRef> componentName(AudioUnitCopyComponentName(instance));
    EXPECT_EQ(toStdString(componentName.get()), "Velmora Audio Technologies: Kelvane");

    int component = 0;
    SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(&component));
    EXPECT_EQ(GetComponentInstanceStorage(instance), reinterpret_cast<Handle>(&component));

    EventLoopTimerRef timer = nullptr;
    EXPECT_EQ(AudioUnitInstallEventLoopTimer(instance, 0.025, 0.025, [](EventLoopTimerRef, void*) {}, nullptr, &timer), noErr);
    EXPECT_NE(timer, nullptr);
    ASSERT_EQ(recorder.timers.size(), 1u);
    EXPECT_EQ(recorder.timers[0], std::make_pair(0.025, 0.025));
    EXPECT_EQ(AudioUnitRemoveEventLoopTimer(instance, timer), unimpErr) << "this host has no remove entry";

    services.installEventLoopTimer = refuseTimer;
    EXPECT_EQ(AudioUnitInstallEventLoopTimer(instance, 0.025, 0.025, [](EventLoopTimerRef, void*) {}, nullptr, &timer),
              memFullErr);
    EXPECT_EQ(timer, nullptr) << "a failed install leaves no timer to remove later";

    CFDictionaryRef info = AudioUnitGetHostInfoDictionary(instance);
    EXPECT_EQ(toStdString(static_cast<CFStringRef>(CFDictionaryGetValue(info, CFSTR("CFBundleIdentifier")))),
              "com.apple.logic.pro");
}

TEST_F(HostServices, SourceUnitsAreRenderedThroughTheirOwnHost)
{
    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp timeStamp {};
    EXPECT_EQ(AudioUnitRender(instance, &flags, &timeStamp, 0, 512, nullptr), noErr);
    EXPECT_EQ(flags, kAudioUnitRenderAction_OutputIsSilence);
    EXPECT_EQ(AudioUnitRender(instance, &flags, &timeStamp, 0, 8192, nullptr), paramErr) << "the host's status comes back";
    EXPECT_EQ(recorder.renders, 2);
    UInt32 size = 40;
    EXPECT_EQ(AudioUnitGetProperty(instance, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, nullptr, &size),
              unimpErr);
}

TEST_F(HostServices, MissingTablesAndEntriesAnswerUnimplemented)
{
    ComponentInstanceRecord bare {{0}};
    AudioComponentDescription description {};
    UInt32 value = 0;
    EventLoopTimerRef timer = reinterpret_cast<EventLoopTimerRef>(7);
    AudioUnitEvent event {};
    event.mArgument.mParameter.mAudioUnit = &bare;

    for (ComponentInstance target : {static_cast<ComponentInstance>(nullptr), &bare}) {
        SCOPED_TRACE(target == nullptr ? "null instance" : "instance without a table");
        event.mArgument.mParameter.mAudioUnit = target;
        EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &event), unimpErr);
        EXPECT_EQ(AudioUnitGetComponentDescription(target, &description), unimpErr);
        EXPECT_EQ(AudioUnitGetComponentVersion(target, &value), unimpErr);
        EXPECT_EQ(AudioUnitCopyComponentName(target), nullptr);
        EXPECT_EQ(GetComponentInstanceStorage(target), nullptr);
        SetComponentInstanceStorage(target, nullptr);
        EXPECT_EQ(AudioUnitInstallEventLoopTimer(target, 1, 1, [](EventLoopTimerRef, void*) {}, nullptr, &timer), unimpErr);
        EXPECT_EQ(timer, nullptr);
        EXPECT_EQ(AudioUnitGetHostInfoDictionary(target), nullptr);
    }

    // A host built when the table ended before the timer entries: those count as missing even though
    // the memory after its table happens to hold something.
    services.structSize = offsetof(AudioUnitHostServices, installEventLoopTimer);
    EXPECT_EQ(AudioUnitInstallEventLoopTimer(instance, 1, 1, [](EventLoopTimerRef, void*) {}, nullptr, &timer), unimpErr);
    EXPECT_EQ(AudioUnitGetHostInfoDictionary(instance), nullptr);
    EXPECT_EQ(AudioUnitGetComponentVersion(instance, &value), noErr) << "entries inside the old size still work";
}
