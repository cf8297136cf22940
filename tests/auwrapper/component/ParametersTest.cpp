// Parameters as the host sees them: the published list and infos from the parameter file, value
// mapping both ways, scheduled events, text conversion through the effect, automation notices.

#include "tests/auwrapper/component/ComponentFixture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace aucomponenttest;
using namespace q9framework::cf;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global;

} // namespace

TEST(Parameters, PublishedListAndInfos)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    AudioUnitParameterID ids[4] = {};
    UInt32 size = sizeof ids;
    ASSERT_EQ(f.host().getProperty(kAudioUnitProperty_ParameterList, G, 0, ids, &size), noErr);
    ASSERT_EQ(size, 16u);
    EXPECT_EQ(std::vector<AudioUnitParameterID>(ids, ids + 4), (std::vector<AudioUnitParameterID>{0, 1, 2, 3}));

    const struct {
        AudioUnitParameterID id;
        const char* name;
        AudioUnitParameterUnit unit;
        const char* unitName;
        float minValue, maxValue, defaultValue;
        UInt32 flags;
    } cases[] = {
        {0, "Level", kAudioUnitParameterUnit_CustomUnit, "dB", -10, 10, 0, 0xC8000000u},
        {1, "Mode", kAudioUnitParameterUnit_Indexed, nullptr, 0, 2, 1, 0xC8000000u},
        {2, "Switch", kAudioUnitParameterUnit_Boolean, nullptr, 0, 1, 0, 0xC8000000u},
        {3, "Amount", kAudioUnitParameterUnit_CustomUnit, "%", 0, 100, 50, 0xC8000000u | 0x00200000u | 0x10000000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AudioUnitParameterInfo info{};
        ASSERT_EQ(f.host().get(kAudioUnitProperty_ParameterInfo, G, c.id, info), noErr);
        EXPECT_STREQ(info.name, c.name);
        EXPECT_EQ(toStdString(info.cfNameString), c.name);
        EXPECT_EQ(info.unit, c.unit);
        EXPECT_EQ(toStdString(info.unitName), c.unitName != nullptr ? c.unitName : "");
        EXPECT_EQ(info.minValue, c.minValue);
        EXPECT_EQ(info.maxValue, c.maxValue);
        EXPECT_EQ(info.defaultValue, c.defaultValue);
        EXPECT_EQ(info.flags, c.flags);
    }

    CFArrayRef names = nullptr;
    ASSERT_EQ(f.host().get(kAudioUnitProperty_ParameterValueStrings, G, 1, names), noErr);
    ASSERT_EQ(CFArrayGetCount(names), 3);
    EXPECT_EQ(toStdString(static_cast<CFStringRef>(CFArrayGetValueAtIndex(names, 2))), "high");
    CFRelease(names);
}

TEST(Parameters, AHeaderOnlyFilePublishesNothing)
{
    BundleSpec spec;
    spec.parameters = "index\tname\tmin\tmax\tkind\tunit\tdefault\n";
    ComponentFixture f(spec);
    ASSERT_EQ(f.open(), noErr);
    UInt32 size = 99;
    EXPECT_EQ(f.host().getPropertyInfo(kAudioUnitProperty_ParameterList, G, 0, &size, nullptr), noErr);
    EXPECT_EQ(size, 0u);
    Float32 value = -1.0f;
    EXPECT_EQ(f.host().getParameter(2, G, 0, &value), noErr) << "unpublished indices still answer";
    EXPECT_EQ(value, 0.0f);
}

TEST(Parameters, ValuesMapOntoTheEffectsRange)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    q9framework::VSTPlugIn& vst = f.component().getPlugIn();
    const struct {
        AudioUnitParameterID id;
        float normalised;
        Float32 hostValue;
    } reads[] = {
        {0, 0.25f, -5.0f}, {1, 0.74f, 1.0f}, {1, 0.76f, 2.0f}, {2, 0.49f, 0.0f}, {3, 0.333f, 33.3f},
    };
    for (const auto& c : reads) {
        SCOPED_TRACE(std::to_string(c.id) + " at " + std::to_string(c.normalised));
        vst.setParameter(static_cast<int32_t>(c.id), c.normalised);
        Float32 value = 0.0f;
        ASSERT_EQ(f.host().getParameter(c.id, G, 0, &value), noErr);
        EXPECT_FLOAT_EQ(value, c.hostValue);
    }

    ASSERT_EQ(f.host().setParameter(0, G, 7, 5.0f, 123), noErr) << "element and offset are not checked";
    EXPECT_EQ(vst.getParameter(0), 0.75f);
    EXPECT_EQ(f.host().setParameter(0, kAudioUnitScope_Input, 0, 5.0f), kAudioUnitErr_InvalidScope);
    EXPECT_EQ(f.host().setParameter(4, G, 0, 5.0f), kAudioUnitErr_InvalidParameter);
    Float32 value = 0.0f;
    EXPECT_EQ(f.host().getParameter(4, G, 0, &value), kAudioUnitErr_InvalidParameter);
}

TEST(Parameters, ScheduledEventsApplyImmediatesUntilABadOne)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    AudioUnitParameterEvent events[4] = {};
    events[0] = AudioUnitParameterEvent{G, 0, 0, kParameterEvent_Immediate, {}};
    events[0].eventValues.immediate.value = 10.0f;
    events[1] = AudioUnitParameterEvent{G, 0, 3, kParameterEvent_Ramped, {}};
    events[1].eventValues.ramp.endValue = 100.0f;
    events[2] = AudioUnitParameterEvent{G, 0, 9, kParameterEvent_Immediate, {}};
    events[3] = AudioUnitParameterEvent{G, 0, 2, kParameterEvent_Immediate, {}};
    events[3].eventValues.immediate.value = 1.0f;
    EXPECT_EQ(f.host().call(kAudioUnitScheduleParametersSelect, static_cast<const AudioUnitParameterEvent*>(events), UInt32(4)),
              kAudioUnitErr_InvalidParameter);
    q9framework::VSTPlugIn& vst = f.component().getPlugIn();
    EXPECT_EQ(vst.getParameter(0), 1.0f) << "applied before the faulty event";
    EXPECT_EQ(vst.getParameter(3), 0.0f) << "ramps are ignored";
    EXPECT_EQ(vst.getParameter(2), 0.0f) << "nothing after the faulty event";
}

TEST(Parameters, TextConversionGoesThroughTheEffect)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    const Float32 five = 5.0f;
    AudioUnitParameterStringFromValue toText{0, &five, nullptr};
    ASSERT_EQ(f.host().get(kAudioUnitProperty_ParameterStringFromValue, G, 0, toText), noErr);
    EXPECT_EQ(toStdString(toText.outString), "0.750 units") << "normalised, leading spaces skipped";
    CFRelease(toText.outString);

    f.component().getPlugIn().setParameter(1, 0.25f);
    AudioUnitParameterStringFromValue current{1, nullptr, nullptr};
    ASSERT_EQ(f.host().get(kAudioUnitProperty_ParameterStringFromValue, G, 0, current), noErr);
    EXPECT_EQ(toStdString(current.outString), "0.25") << "the effect's display of the current value";
    CFRelease(current.outString);

    CFRef<CFStringRef> text(createString("0.5"));
    AudioUnitParameterValueFromString toValue{2, text.get(), -1.0f};
    ASSERT_EQ(f.host().get(kAudioUnitProperty_ParameterValueFromString, G, 0, toValue), noErr);
    EXPECT_EQ(toValue.outValue, 1.0f) << "boolean: floor(0.5 + 0.5)";

    AudioUnitParameterStringFromValue outOfRange{4, &five, nullptr};
    EXPECT_EQ(f.host().get(kAudioUnitProperty_ParameterStringFromValue, G, 0, outOfRange), kAudioUnitErr_InvalidParameter);
}

TEST(Parameters, AutomationBecomesNotifications)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    q9framework::TandrilComponent& c = f.component();
    q9framework::VSTPlugIn& vst = c.getPlugIn();
    f.host().events.clear();
    c.beginEdit(vst, 2);
    c.automate(vst, 2, 0.5f);
    c.endEdit(vst, 2);
    c.beginEdit(vst, 4);   // past the effect's parameters: no gesture
    ASSERT_EQ(f.host().events.size(), 3u);
    EXPECT_EQ(f.host().events[0].mEventType, kAudioUnitEvent_BeginParameterChangeGesture);
    EXPECT_EQ(f.host().events[1].mEventType, kAudioUnitEvent_ParameterValueChange);
    EXPECT_EQ(f.host().events[2].mEventType, kAudioUnitEvent_EndParameterChangeGesture);
    EXPECT_EQ(f.host().events[1].mArgument.mParameter.mParameterID, 2u);
    ASSERT_EQ(f.host().parameterNotices.size(), 1u);
    EXPECT_EQ(f.host().parameterNotices[0].mAudioUnit, f.host().unit());

    f.host().parameterNotifyStatus = -1;
    EXPECT_THROW(c.automate(vst, 1, 0.5f), q9framework::MacOSException) << "the effect's host callback answers 0 then";
}
