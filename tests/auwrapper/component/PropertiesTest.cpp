// The property table: what each property is in each scope and element, and reading and writing them.

#include "tests/auwrapper/component/ComponentFixture.h"

#include <gtest/gtest.h>

using namespace aucomponenttest;
using namespace q9framework::cf;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input, O = kAudioUnitScope_Output;

AudioStreamBasicDescription floatFormat(UInt32 channels, Float64 rate = 44100.0)
{
    return AudioStreamBasicDescription{rate, kAudioFormatLinearPCM, kAudioFormatFlagsAudioUnitCanonical, 4, 1, 4, channels, 32, 0};
}

} // namespace

TEST(Properties, InformationTable)
{
    ComponentFixture f;   // "Param": 2 in, 2 out, stereo pins, 4 parameters, extension, editor
    ASSERT_EQ(f.open(), noErr);
    const struct {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        OSStatus status;
        UInt32 size;
        Boolean writable;
    } cases[] = {
        {0, G, 0, noErr, 8, 1},           {0, I, 0, kAudioUnitErr_InvalidScope, 0, 0},
        {1, I, 1, kAudioUnitErr_InvalidElement, 0, 0},                     {4, G, 3, noErr, 104, 0},
        {16, G, 0, kAudioUnitErr_InvalidParameter, 0, 0},                  {11, 7, 9, noErr, 4, 0},
        {20, G, 0, kAudioUnitErr_InvalidProperty, 0, 0},                   {1000, G, 0, noErr, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("property " + std::to_string(c.id) + " scope " + std::to_string(c.scope) + " element "
                     + std::to_string(c.element));
        UInt32 size = 99;
        Boolean writable = 99;
        EXPECT_EQ(f.host().getPropertyInfo(c.id, c.scope, c.element, &size, &writable), c.status);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(writable, c.writable);
    }
    EXPECT_EQ(f.host().getPropertyInfo(0, G, 0, nullptr, nullptr), noErr) << "both outputs are optional";
}

TEST(Properties, ConditionalPropertiesOfAnotherEffect)
{
    BundleSpec spec;
    spec.effect = "Chunk";   // no extension
    ComponentFixture f(spec);
    ASSERT_EQ(f.open(), noErr);
    for (AudioUnitPropertyID id : {33u, 38u}) {
        UInt32 size = 0;
        EXPECT_EQ(f.host().getPropertyInfo(id, G, 0, &size, nullptr), kAudioUnitErr_InvalidProperty) << id;
    }
}

TEST(Properties, ReadingChecksTheBufferAndReportsSizes)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    UInt32 size = 4;
    Float64 rate = 0.0;
    EXPECT_EQ(f.host().getProperty(kAudioUnitProperty_SampleRate, G, 0, &rate, &size), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(size, 8u) << "the needed size is reported";
    EXPECT_EQ(f.host().get(kAudioUnitProperty_SampleRate, O, 0, rate), noErr);
    EXPECT_EQ(rate, 44100.0);

    Float64 latency = 0.0;
    EXPECT_EQ(f.host().get(kAudioUnitProperty_Latency, G, 0, latency), noErr);
    EXPECT_DOUBLE_EQ(latency, 441.0 / 44100.0);

    AUPreset preset{};
    size = 4;
    EXPECT_EQ(f.host().getProperty(kAudioUnitProperty_CurrentPreset, G, 0, &preset, &size), noErr);
    EXPECT_EQ(size, 4u) << "a short buffer gets the number only";
    EXPECT_EQ(preset.presetNumber, -1);
    EXPECT_EQ(preset.presetName, nullptr);
    EXPECT_EQ(f.host().get(kAudioUnitProperty_PresentPreset, G, 0, preset), noErr);
    EXPECT_EQ(toStdString(preset.presetName), "Program 1");
    CFRelease(preset.presetName);
}

TEST(Properties, WritingChecksWritabilityAndSize)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    const Float64 latency = 1.0;
    EXPECT_EQ(f.host().set(kAudioUnitProperty_Latency, G, 0, latency), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(f.host().setProperty(kAudioUnitProperty_SampleRate, G, 0, &latency, 4), kAudioUnitErr_InvalidPropertyValue);

    EXPECT_EQ(f.host().set(kAudioUnitProperty_BypassEffect, G, 0, UInt32(1)), noErr);
    EXPECT_EQ(f.effectControl().lastBypass, 1);
}

TEST(Properties, StreamFormatsAndTheMonoAdaptation)
{
    const struct {
        const char* what;
        const char* config;
        UInt32 channels;
        OSStatus expected;
    } cases[] = {
        {"mono on a stereo bus with CanDoMonoIO", nullptr, 1, noErr},
        {"mono on a stereo bus without CanDoMonoIO",
         "<key>AutoConvertPresets</key><false/><key>PresetIsFXB</key><false/>"
         "<key>UpdateNameOnLoad</key><true/><key>CanDoMonoIO</key><false/>",
         1, kAudioUnitErr_FormatNotSupported},
        {"three channels", nullptr, 3, kAudioUnitErr_FormatNotSupported},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BundleSpec spec;
        if (c.config != nullptr)
            spec.config = c.config;
        ComponentFixture f(spec);
        ASSERT_EQ(f.open(), noErr);
        EXPECT_EQ(f.host().set(kAudioUnitProperty_StreamFormat, I, 0, floatFormat(c.channels)), c.expected);
    }

    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    EXPECT_EQ(f.host().set(kAudioUnitProperty_StreamFormat, G, 0, floatFormat(1, 48000.0)), noErr) << "global: the output bus";
    AudioStreamBasicDescription out{};
    EXPECT_EQ(f.host().get(kAudioUnitProperty_StreamFormat, O, 0, out), noErr);
    EXPECT_EQ(out.mChannelsPerFrame, 1u);
    EXPECT_EQ(out.mSampleRate, 48000.0);
    EXPECT_EQ(f.effectControl().lastSampleRate, 48000.0f);
    EXPECT_EQ(f.host().get(kAudioUnitProperty_StreamFormat, I, 0, out), noErr);
    EXPECT_EQ(out.mChannelsPerFrame, 2u) << "each bus keeps its own channel count";
}

TEST(Properties, HostsThatPutStereoOnAMonoBusAreKnownByIdentityAndVersion)
{
    const struct {
        const char* identifier;
        const char* version;
        bool takesStereo;
    } cases[] = {
        {"com.apple.logic.pro", "7.2.3", false},  {"com.apple.logic.pro", "8.0.0", true},
        {"com.apple.logic.pro", "8.0.10", false}, {"com.apple.garageband", "4.1.2", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.identifier) + " " + c.version);
        BundleSpec spec;
        spec.effect = "Mono";
        ComponentFixture f(spec);
        f.setHostInfo(c.identifier, c.version);
        ASSERT_EQ(f.open(), noErr);
        EXPECT_EQ(f.host().set(kAudioUnitProperty_StreamFormat, I, 0, floatFormat(2)),
                  c.takesStereo ? noErr : kAudioUnitErr_FormatNotSupported);
    }
}

TEST(Properties, BusLayoutsOfOtherEffects)
{
    const struct {
        const char* effect;
        int inputBuses, outputBuses;
        std::vector<int> outputStarts;
        UInt32 channelConfigurations;   // 0: the property is missing
        const char* secondOutputName;   // null: one output bus
    } cases[] = {
        {"Quad", 1, 2, {0, 2, 4}, 4, "Out 2"},
        {"Odd", 2, 2, {0, 2, 3}, 0, "Out 2"},
        {"Mono", 1, 1, {0, 1}, 1, nullptr},
        {"Wide", 32, 32, {0, 1, 2}, 1, "Out 1"},   // 32 channels on mono pins: 32 mono buses
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect);
        BundleSpec spec;
        spec.effect = c.effect;
        ComponentFixture f(spec);
        ASSERT_EQ(f.open(), noErr);
        EXPECT_EQ(f.component().getInputBusCount(), c.inputBuses);
        ASSERT_EQ(f.component().getOutputBusCount(), c.outputBuses);
        for (size_t b = 0; b < c.outputStarts.size(); ++b)
            EXPECT_EQ(f.component().getOutputBusStart(static_cast<int>(b)), c.outputStarts[b]) << b;
        UInt32 size = 0;
        const OSStatus status = f.host().getPropertyInfo(kAudioUnitProperty_SupportedNumChannels, G, 0, &size, nullptr);
        EXPECT_EQ(status, c.channelConfigurations > 0 ? noErr : kAudioUnitErr_InvalidProperty);
        EXPECT_EQ(size, 4 * c.channelConfigurations);
        CFStringRef name = nullptr;
        if (c.secondOutputName != nullptr) {
            EXPECT_EQ(f.host().get(kAudioUnitProperty_ElementName, O, 1, name), noErr);
            EXPECT_EQ(toStdString(name), c.secondOutputName);
            CFRelease(name);
        }
    }
}
