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
    std::vector<AudioUnitParameter> parameters;
    std::vector<std::pair<double, double>> timers;
};
RecordingHost* host = nullptr;

OSStatus recordParameter(AUParameterListenerRef, void*, const AudioUnitParameter* parameter)
{
    host->parameters.push_back(*parameter);
    return noErr;
}
OSStatus version(ComponentInstance, UInt32* out)
{
    *out = 0x00010203;
    return noErr;
}
CFDictionaryRef hostInfo(ComponentInstance)
{
    static const CFDictionaryRef info =
        CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    return info;
}
OSStatus install(ComponentInstance, EventTimerInterval delay, EventTimerInterval interval, EventLoopTimerProcPtr, void*, EventLoopTimerRef* out)
{
    host->timers.emplace_back(delay, interval);
    *out = reinterpret_cast<EventLoopTimerRef>(host->timers.size());
    return noErr;
}
OSStatus refuseTimer(ComponentInstance, EventTimerInterval, EventTimerInterval, EventLoopTimerProcPtr, void*, EventLoopTimerRef* out)
{
    *out = reinterpret_cast<EventLoopTimerRef>(1);   // a host that scribbles before failing
    return memFullErr;
}
OSStatus render(AudioUnit, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32 frames, AudioBufferList*)
{
    *flags |= kAudioUnitRenderAction_OutputIsSilence;
    return frames > 4096 ? paramErr : noErr;
}

AudioUnitHostServices fullTable()
{
    AudioUnitHostServices services {};
    services.structSize = sizeof(AudioUnitHostServices);
    services.parameterListenerNotify = recordParameter;
    services.render = render;
    services.getComponentVersion = version;
    services.getHostInfoDictionary = hostInfo;
    services.installEventLoopTimer = install;
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

// The component suite reaches every entry through a real host; here what the table alone decides.
TEST_F(HostServices, CallsLandAtTheInstancesHostAndAFailedTimerLeavesNone)
{
    const AudioUnitParameter parameter {instance, 6, kAudioUnitScope_Global, 0};
    EXPECT_EQ(AUParameterListenerNotify(nullptr, nullptr, &parameter), noErr);
    ASSERT_EQ(recorder.parameters.size(), 1u);
    EXPECT_EQ(AUParameterListenerNotify(nullptr, nullptr, nullptr), paramErr);

    EventLoopTimerRef timer = nullptr;
    EXPECT_EQ(AudioUnitInstallEventLoopTimer(instance, 0.025, 0.025, [](EventLoopTimerRef, void*) {}, nullptr, &timer), noErr);
    EXPECT_EQ(recorder.timers.at(0), std::make_pair(0.025, 0.025));
    EXPECT_EQ(AudioUnitRemoveEventLoopTimer(instance, timer), unimpErr) << "this host has no remove entry";
    services.installEventLoopTimer = refuseTimer;
    EXPECT_EQ(AudioUnitInstallEventLoopTimer(instance, 0.025, 0.025, [](EventLoopTimerRef, void*) {}, nullptr, &timer),
              memFullErr);
    EXPECT_EQ(timer, nullptr) << "a failed install leaves no timer to remove later";

    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp timeStamp {};
    EXPECT_EQ(AudioUnitRender(instance, &flags, &timeStamp, 0, 8192, nullptr), paramErr) << "the host's status comes back";
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
