// The component entry: Component Manager selectors, the open sequence and its failures, the life-cycle
// selectors and the registration lists.

#include "tests/auwrapper/component/ComponentFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace aucomponenttest;
using q9framework::otherExceptionStatus;

namespace {

void noteProperty(void* userData, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement)
{
    static_cast<std::vector<AudioUnitPropertyID>*>(userData)->push_back(id);
}

} // namespace

TEST(ComponentEntry, CanDoAnswersExactlyTheSupportedSelectors)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    const SInt16 yes[] = {-4, -3, -2, -1, 1, 2, 3, 4, 5, 6, 7, 9, 10, 14, 15, 16, 17, 18, 257};
    const SInt16 no[] = {8, 11, 12, 13, 19, 20, 0, 258, -5};
    for (SInt16 s : yes)
        EXPECT_EQ(f.host().canDo(s), 1) << s;
    for (SInt16 s : no)
        EXPECT_EQ(f.host().canDo(s), 0) << s;
}

TEST(ComponentEntry, SelectorsWithoutAnInstanceAndUnknownOnes)
{
    kelvane::AUHostInstance unopened(&testEntry, AudioComponentDescription{}, 0x00010203, "x");
    EXPECT_EQ(unopened.initialize(), badComponentSelector);
    EXPECT_EQ(unopened.call(kComponentCloseSelect), noErr);
    EXPECT_EQ(unopened.call(kComponentVersionSelect), 0x00010203) << "the registered version";

    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    EXPECT_EQ(f.host().call(SInt16(8)), badComponentSelector);
}

TEST(ComponentEntry, OpenRunsTheConstructionSequence)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    EXPECT_EQ(f.host().installedTimerCount(), 1);
    EXPECT_EQ(f.host().fireTimers(), 1);
    EXPECT_EQ(f.effectControl().idleCalls, 1) << "the idle timer idles the effect";

    EXPECT_EQ(f.host().close(), noErr);
    EXPECT_EQ(f.host().installedTimerCount(), 0) << "closing removes the timer";
    EXPECT_EQ(f.host().getStorage(), nullptr);
}

TEST(ComponentEntry, OpenAnnouncesTheEffectsTail)
{
    OpenedTestEffect loaded("Param");   // keeps the module loaded, so its tail can be set before the open
    loaded.control->tailSamples = 4410;
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    const auto tailNotices = std::count_if(f.host().events.begin(), f.host().events.end(), [](const AudioUnitEvent& e) {
        return e.mEventType == kAudioUnitEvent_PropertyChange
               && e.mArgument.mProperty.mPropertyID == kAudioUnitProperty_TailTime;
    });
    EXPECT_EQ(tailNotices, 1) << "the tail is published the way every later change of it is";
}

TEST(ComponentEntry, OpenFailuresReportTheirStatusAndLeaveNoInstance)
{
    const struct {
        const char* what;
        void (*change)(BundleSpec&);
        OSStatus expected;
    } cases[] = {
        {"no parameter file", [](BundleSpec& s) { s.withParameters = false; }, fnfErr},
        {"an effect with 33 inputs", [](BundleSpec& s) { s.effect = "TooWide"; }, otherExceptionStatus},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BundleSpec spec;
        c.change(spec);
        ComponentFixture f(spec);
        EXPECT_EQ(f.open(), c.expected);
        EXPECT_EQ(f.host().getStorage(), nullptr);
        EXPECT_EQ(f.host().installedTimerCount(), 0);
    }
}

TEST(ComponentEntry, InitializeUninitializeAndResetDriveTheEffect)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    AUTestEffectControl& fx = f.effectControl();
    EXPECT_EQ(f.host().initialize(), noErr);
    EXPECT_EQ(f.host().initialize(), noErr);
    EXPECT_EQ(fx.numMainsChanged, 1) << "resumed once";
    EXPECT_EQ(f.host().reset(kAudioUnitScope_Output, 0), kAudioUnitErr_InvalidScope);
    EXPECT_EQ(fx.numMainsChanged, 1) << "a refused reset leaves the effect alone";
    EXPECT_EQ(f.host().reset(), noErr);
    EXPECT_EQ(f.host().uninitialize(), noErr);
    EXPECT_EQ(f.host().uninitialize(), noErr);
    ASSERT_EQ(fx.numMainsChanged, 4);
}

TEST(ComponentEntry, PropertyChangesGoToListenersOrElseToTheEventPath)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    const UInt32 frames = 512;
    EXPECT_EQ(f.host().set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, frames), noErr);
    ASSERT_EQ(f.host().events.size(), 1u) << "no listener: posted as an event";
    EXPECT_EQ(f.host().events[0].mEventType, kAudioUnitEvent_PropertyChange);
    EXPECT_EQ(f.host().events[0].mArgument.mProperty.mPropertyID, kAudioUnitProperty_MaximumFramesPerSlice);

    std::vector<AudioUnitPropertyID> seen;
    ASSERT_EQ(f.host().call(kAudioUnitAddPropertyListenerSelect, AudioUnitPropertyID(kAudioUnitProperty_Latency),
                            &noteProperty, &seen),
              noErr);
    f.host().events.clear();
    EXPECT_EQ(f.host().set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, UInt32(256)), noErr);
    EXPECT_TRUE(f.host().events.empty()) << "a listener for another property silences the event path";
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(f.host().set(kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, 22050.0), noErr);
    EXPECT_EQ(seen, std::vector<AudioUnitPropertyID>{kAudioUnitProperty_Latency}) << "latency doubles with half the rate";
}

TEST(ComponentEntry, MidiIsQueuedForTheNextBlock)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    ASSERT_EQ(f.host().initialize(), noErr);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(f.host().call(kMusicDeviceMIDIEventSelect, UInt32(0x90), UInt32(60), UInt32(100), UInt32(i % 8)), noErr);
    EXPECT_EQ(f.host().call(kMusicDeviceMIDIEventSelect, UInt32(0x80), UInt32(60), UInt32(0), UInt32(0)), memFullErr);
    ASSERT_EQ(f.renderStereoBlock(8), noErr);
    EXPECT_EQ(f.effectControl().lastEventCount, 1024);
    EXPECT_EQ(f.effectControl().lastEventBytes[0], 0x90);
    EXPECT_EQ(f.effectControl().lastEventDelta, 7);
    EXPECT_EQ(f.host().call(kMusicDeviceMIDIEventSelect, UInt32(0x80), UInt32(60), UInt32(0), UInt32(0)), noErr)
        << "the queue is empty again after the block";
}

namespace {

OSStatus beatAndTempo(void* user, Float64* beat, Float64* tempo)
{
    *beat = *static_cast<Float64*>(user);
    *tempo = 96.0;
    return noErr;
}

OSStatus transport(void*, Boolean* playing, Boolean* changed, Float64* sample, Boolean* cycling, Float64* start, Float64* end)
{
    *playing = 1;
    *changed = 0;
    *sample = 4410.0;
    *cycling = 0;
    *start = 4.0;
    *end = 8.0;
    return noErr;
}

OSStatus cannotAnswer(void*, UInt32*, Float32*, UInt32*, Float64*)
{
    return kAudioUnitErr_CannotDoInCurrentContext;
}

} // namespace

TEST(ComponentEntry, TransportFromTheHostCallbacksReachesTheEffect)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    Float64 beat = 12.5;
    HostCallbackInfo callbacks{&beat, &beatAndTempo, &cannotAnswer, &transport, nullptr};
    ASSERT_EQ(f.host().set(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, callbacks), noErr);
    ASSERT_EQ(f.renderStereoBlock(16), noErr);
    q9framework::TandrilComponent& c = f.component();
    const VstTimeInfo* time = c.getTimeInfo(c.getPlugIn(), 0);
    EXPECT_EQ(time->ppqPos, 12.5);
    EXPECT_EQ(time->tempo, 96.0);
    EXPECT_EQ(time->samplePos, 4410.0) << "the transport's position wins over the time stamp";
    EXPECT_EQ(time->cycleEndPos, 8.0);
    EXPECT_EQ(time->sampleRate, 44100.0);
    EXPECT_EQ(time->flags, kVstPpqPosValid | kVstTempoValid | kVstTransportPlaying | kVstCyclePosValid)
        << "no bar or signature flags from a callback that could not answer";
}

TEST(ComponentEntry, CloseReleasesEveryValueItMade)
{
    const long before = q9framework::cf::liveObjectCount();
    {
        ComponentFixture f;
        ASSERT_EQ(f.open(), noErr);
        // Values handed to the host are the host's to release; the component keeps its own.
        q9framework::cf::CFPropertyListRef state = nullptr;
        ASSERT_EQ(f.host().get(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, state), noErr);
        ASSERT_EQ(f.host().set(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, state), noErr);
        q9framework::cf::CFRelease(state);
        AUPreset preset{};
        ASSERT_EQ(f.host().get(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, preset), noErr);
        q9framework::cf::CFRelease(preset.presetName);
        ASSERT_EQ(f.host().close(), noErr);
    }
    EXPECT_EQ(q9framework::cf::liveObjectCount(), before);
}
