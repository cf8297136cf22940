// The real plug-in module, loaded with dlopen and driven only through its AEffect, as hosts drive it.
#include "LoadedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class VST2PluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::path() << ": " << PluginModule::get().error();
        TestHost::get().reset();
    }
};

template <typename T>
T fieldAt(const AEffect* effect, size_t offset)
{
    T value;
    std::memcpy(&value, reinterpret_cast<const char*>(effect) + offset, sizeof(T));
    return value;
}

/** A stereo test signal with hits, so a transient shaper has something to shape. */
std::vector<float> drumHits(int frames, int channel)
{
    std::vector<float> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const int t = i % 2205;
        samples[static_cast<size_t>(i)] = static_cast<float>(0.8 * std::exp(-t / 300.0) * std::sin(0.07 * i + channel));
    }
    return samples;
}

/** What a host does before the first block: rate, largest block size, switch on. */
void switchOn(const LoadedPlugin& plugin, float sampleRate, VstIntPtr blockSize)
{
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    plugin.dispatch(effSetBlockSize, 0, blockSize);
    plugin.dispatch(effMainsChanged, 0, 1);
}

} // namespace

TEST_F(VST2PluginTest, EveryEntryPointBuildsAnInstanceAfterAskingTheHostVersion)
{
    for (const char* name : {"VSTPluginMain", "main", "main_macho", "CreateEngine"}) {
        SCOPED_TRACE(name);
        TestHost::get().reset();
        LoadedPlugin plugin(name);
        ASSERT_NE(plugin.effect(), nullptr);
        const auto calls = TestHost::get().calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().opcode, audioMasterVersion);
        EXPECT_EQ(calls.front().effect, nullptr);
        EXPECT_EQ(plugin.close(), 1);
    }
}

TEST_F(VST2PluginTest, AHostThatAnswersVersionZeroGetsNoEffect)
{
    TestHost::get().version = 0;
    for (const char* name : {"VSTPluginMain", "main", "main_macho", "CreateEngine"}) {
        SCOPED_TRACE(name);
        VstPluginEntryProc entry = PluginModule::get().entry(name);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry(TestHost::callback), nullptr);
        EXPECT_EQ(entry(nullptr), nullptr);
    }
}

TEST_F(VST2PluginTest, TheRecordHoldsThePublishedValuesAtThePublishedOffsets)
{
    LoadedPlugin plugin;
    const AEffect* e = plugin.effect();
    ASSERT_NE(e, nullptr);
    // Read by byte offset, not through our own declaration, so a wrong layout in the header shows here.
    EXPECT_EQ(fieldAt<int32_t>(e, 0), 0x56737450);                     // 'VstP'
    EXPECT_NE(fieldAt<void*>(e, 8), nullptr);                           // dispatcher
    EXPECT_NE(fieldAt<void*>(e, 16), nullptr);                          // process
    EXPECT_NE(fieldAt<void*>(e, 24), nullptr);                          // setParameter
    EXPECT_NE(fieldAt<void*>(e, 32), nullptr);                          // getParameter
    EXPECT_EQ(fieldAt<int32_t>(e, 40), 1);                              // numPrograms
    EXPECT_EQ(fieldAt<int32_t>(e, 44), 7);                              // numParams
    EXPECT_EQ(fieldAt<int32_t>(e, 48), 2);                              // numInputs
    EXPECT_EQ(fieldAt<int32_t>(e, 52), 2);                              // numOutputs
    EXPECT_EQ(fieldAt<int32_t>(e, 56), 0x231);                          // flags
    EXPECT_EQ(fieldAt<intptr_t>(e, 64), 0);                             // resvd1
    EXPECT_EQ(fieldAt<intptr_t>(e, 72), 0);                             // resvd2
    EXPECT_EQ(fieldAt<int32_t>(e, 80), 0);                              // initialDelay
    EXPECT_EQ(fieldAt<float>(e, 92), 1.0f);                             // ioRatio
    EXPECT_NE(fieldAt<void*>(e, 96), nullptr);                          // object
    EXPECT_EQ(fieldAt<void*>(e, 104), nullptr);                         // user
    EXPECT_EQ(fieldAt<int32_t>(e, 112), 0x4B764C6E);                    // 'KvLn'
    EXPECT_EQ(fieldAt<int32_t>(e, 116), 1);                             // version
    EXPECT_NE(fieldAt<void*>(e, 120), nullptr);                         // processReplacing
    EXPECT_NE(fieldAt<void*>(e, 128), nullptr);                         // processDoubleReplacing
    for (size_t offset = 136; offset < 192; ++offset)
        EXPECT_EQ(fieldAt<char>(e, offset), 0) << "future byte " << offset;
}

TEST_F(VST2PluginTest, TextOpcodesWriteTheEffectsTexts)
{
    LoadedPlugin plugin;
    const struct {
        VstInt32 opcode;
        VstInt32 index;
        const char* expected;
        const char* what;
    } cases[] = {
        {effGetEffectName, 0, "Kelvane", "effect name"},
        {effGetVendorString, 0, "Velmora Audio Technologies", "vendor"},
        {effGetProductString, 0, "Kelvane", "product"},
        {effGetProgramName, 0, "", "program name"},
        {effGetParamName, 0, "Attack", "name 0"},
        {effGetParamName, 1, "Release", "name 1"},
        {effGetParamName, 2, "Bypass", "name 2"},
        {effGetParamName, 3, "Gain", "name 3"},
        {effGetParamName, 4, "Attack Time", "name 4"},
        {effGetParamName, 5, "Release Time", "name 5, longer than the published 8"},
        {effGetParamName, 6, "Drive", "name 6"},
        {effGetParamName, 7, "", "name of an unknown index"},
        {effGetParamName, -1, "", "name of a negative index"},
        {effGetParamLabel, 3, "", "labels are part of the display text"},
        {effGetParamDisplay, 0, "0 %", "default attack"},
        {effGetParamDisplay, 1, "0 %", "default release"},
        {effGetParamDisplay, 2, "Off", "default bypass"},
        {effGetParamDisplay, 3, "0.00 dB", "default gain"},
        {effGetParamDisplay, 4, "mid", "default attack time"},
        {effGetParamDisplay, 5, "mid", "default release time"},
        {effGetParamDisplay, 6, "0 %", "default drive"},
        {effGetParamDisplay, 7, "", "display of an unknown index"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(plugin.text(c.opcode, c.index), c.expected);
    }
    char name[256];
    EXPECT_EQ(plugin.dispatch(effGetEffectName, 0, 0, name), 1);
    EXPECT_EQ(plugin.dispatch(effGetVendorString, 0, 0, name), 1);
    EXPECT_EQ(plugin.dispatch(effGetProductString, 0, 0, name), 1);
}

TEST_F(VST2PluginTest, NumericOpcodesGiveTheirAnswers)
{
    LoadedPlugin plugin;
    VstPinProperties pin {};
    VstParameterProperties properties {};
    VstEvents events {};
    const struct {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
        VstIntPtr expected;
        const char* what;
    } cases[] = {
        {effOpen, 0, 0, nullptr, 0, "open"},
        {effGetProgram, 0, 0, nullptr, 0, "program"},
        {effIdentify, 0, 0, nullptr, 0x4E764566, "identify: NvEf"},
        {effGetVendorVersion, 0, 0, nullptr, 0x02050300, "2.5.3.0 with the major number on top"},
        {effGetVstVersion, 0, 0, nullptr, 2400, "VST version"},
        {effGetPlugCategory, 0, 0, nullptr, kPlugCategUnknown, "category of an effect"},
        {effCanBeAutomated, 0, 0, nullptr, 1, "automatable 0"},
        {effCanBeAutomated, 6, 0, nullptr, 1, "automatable 6"},
        {effString2Parameter, 0, 0, const_cast<char*>("0.5"), 0, "no text entry"},
        {effGetProgramNameIndexed, 0, 0, &pin, 0, "no indexed names"},
        {effGetInputProperties, 0, 0, &pin, 0, "input pins"},
        {effGetOutputProperties, 0, 0, &pin, 0, "output pins"},
        {effSetBypass, 0, 1, nullptr, 0, "no soft bypass"},
        {effProcessEvents, 0, 0, &events, 1, "events are taken"},
        {effProcessEvents, 0, 0, nullptr, 1, "no events are taken too"},
        {effGetTailSize, 0, 0, nullptr, 0, "tail"},
        {effGetParameterProperties, 0, 0, &properties, 0, "parameter properties"},
        {effVendorSpecific, 0, 0, nullptr, 0, "vendor specific"},
        {effGetCurrentMidiProgram, 0, 0, &pin, -1, "no MIDI program"},
        {effGetMidiProgramName, 0, 0, &pin, 0, "MIDI program names"},
        {effSetTotalSampleToProcess, 0, 4321, nullptr, 4321, "samples to process are echoed"},
        {effShellGetNextPlugin, 0, 0, &pin, 0, "not a shell"},
        {effBeginSetProgram, 0, 0, nullptr, 0, "begin set program"},
        {effStartProcess, 0, 0, nullptr, 0, "start process"},
        {effSetProcessPrecision, 0, 1, nullptr, 0, "no double precision"},
        {effGetNumMidiInputChannels, 0, 0, nullptr, 0, "MIDI inputs"},
        {effGetVu, 0, 0, nullptr, 0, "deprecated VU"},
        {200, 0, 0, nullptr, 0, "unknown opcode"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(plugin.dispatch(c.opcode, c.index, c.value, c.ptr), c.expected);
    }

    VstSpeakerArrangement arrangement {};
    VstSpeakerArrangement* input = &arrangement;
    VstSpeakerArrangement* output = &arrangement;
    EXPECT_EQ(plugin.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST_F(VST2PluginTest, CanDoAnswersYesForEventsAndTimeOnlyAndNeverNo)
{
    LoadedPlugin plugin;
    const struct {
        const char* text;
        VstIntPtr expected;
    } cases[] = {
        {"sendVstEvents", 1}, {"receiveVstEvents", 1}, {"sendVstMidiEvent", 1}, {"receiveVstMidiEvent", 1},
        {"receiveVstTimeInfo", 1}, {"bypass", 0}, {"offline", 0}, {"midiProgramNames", 0},
        {"receiveVstMidiEvents", 0}, {"", 0}, {"MPE", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(plugin.dispatch(effCanDo, 0, 0, const_cast<char*>(c.text)), c.expected);
    }
    EXPECT_EQ(plugin.dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(VST2PluginTest, OnlyProgramZeroCanBeSelected)
{
    LoadedPlugin plugin;
    for (VstIntPtr program : {1, 2, -1, 0}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(plugin.dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(plugin.dispatch(effGetProgram), 0);
    }
}

TEST_F(VST2PluginTest, ParametersRoundTripAndDisplayTheStoredValue)
{
    LoadedPlugin plugin;
    plugin.setParameter(3, 0.75f);
    EXPECT_EQ(plugin.getParameter(3), 0.75f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 3), "4.50 dB");
    plugin.setParameter(2, 0.5f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 2), "On");
    plugin.setParameter(6, 0.25f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 6), "25 %");

    plugin.setParameter(7, 0.9f);
    plugin.setParameter(-1, 0.9f);
    EXPECT_EQ(plugin.getParameter(7), 0.0f);
    EXPECT_EQ(plugin.getParameter(-1), 0.0f);
}

TEST_F(VST2PluginTest, ChunkRoundTripRestoresEveryValueAndTheBytesStayUntilTheNextGetChunk)
{
    LoadedPlugin plugin;
    const float values[7] = {0.9f, 0.1f, 1.0f, 0.75f, 0.0f, 1.0f, 0.4f};
    for (VstInt32 i = 0; i < 7; ++i)
        plugin.setParameter(i, values[i]);

    void* data = nullptr;
    const VstIntPtr size = plugin.dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 8);
    ASSERT_NE(data, nullptr);
    const unsigned char magic[4] = {0x56, 0x43, 0x32, 0x21};
    EXPECT_EQ(std::memcmp(data, magic, 4), 0);
    const std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);

    for (VstInt32 i = 0; i < 7; ++i)
        plugin.setParameter(i, 0.5f);
    // Other calls in between do not move or change the bytes handed out.
    EXPECT_EQ(std::memcmp(data, saved.data(), saved.size()), 0);

    std::vector<char> copy = saved;
    EXPECT_EQ(plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data()), 0);
    std::fill(copy.begin(), copy.end(), 0);   // the plug-in keeps no pointer into the host's bytes
    for (VstInt32 i = 0; i < 7; ++i)
        EXPECT_EQ(plugin.getParameter(i), values[i]) << "parameter " << i;

    void* programData = nullptr;
    const VstIntPtr programSize = plugin.dispatch(effGetChunk, 1, 0, &programData);
    ASSERT_EQ(programSize, size);
    EXPECT_EQ(std::memcmp(programData, saved.data(), saved.size()), 0) << "bank and program chunks agree";
}

TEST_F(VST2PluginTest, MalformedChunksChangeNothing)
{
    LoadedPlugin plugin;
    plugin.setParameter(0, 0.8f);
    plugin.setParameter(3, 0.2f);
    char garbage[64];
    for (size_t i = 0; i < sizeof(garbage); ++i)
        garbage[i] = static_cast<char>(i * 37);
    const unsigned char truncated[] = {0x56, 0x43, 0x32, 0x21, 0xFF, 0xFF, 0xFF, 0x7F, '<', 'K'};
    const struct {
        void* data;
        VstIntPtr size;
        const char* what;
    } cases[] = {
        {garbage, sizeof(garbage), "noise"},
        {const_cast<unsigned char*>(truncated), sizeof(truncated), "length beyond the bytes"},
        {garbage, 0, "no bytes"},
        {nullptr, 100, "null data"},
        {garbage, -5, "negative size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(plugin.dispatch(effSetChunk, 0, c.size, c.data), 0);
        EXPECT_EQ(plugin.getParameter(0), 0.8f);
        EXPECT_EQ(plugin.getParameter(3), 0.2f);
    }
    EXPECT_EQ(plugin.dispatch(effGetChunk, 0, 0, nullptr), 0);
}

TEST_F(VST2PluginTest, EditorOpcodesBeforeTheEditorExists)
{
    LoadedPlugin plugin;
    ERect* rect = nullptr;
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 1000);
    EXPECT_EQ(rect->right, 1000);
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, nullptr), 0);

    EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
    EXPECT_EQ(plugin.dispatch(effEditIdle), 0);
    EXPECT_EQ(plugin.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(plugin.dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(plugin.dispatch(effSetEditKnobMode, 0, kLinearMode), 0);
    EXPECT_EQ(plugin.dispatch(effEditClose), 0);
    EXPECT_EQ(plugin.dispatch(effEditClose), 0) << "closing while closed";
}

TEST_F(VST2PluginTest, ResumeAsksForMidiAndProcessingAsksForTheTransport)
{
    VstTimeInfo time {};
    time.ppqPos = 12.5;
    time.tempo = 98.0;
    TestHost::get().timeInfo = &time;
    LoadedPlugin plugin;
    switchOn(plugin, 48000.0f, 64);

    const auto wantMidi = TestHost::get().callsOf(audioMasterWantMidi);
    ASSERT_EQ(wantMidi.size(), 1u);
    EXPECT_EQ(wantMidi[0].value, 1);
    EXPECT_EQ(wantMidi[0].effect, plugin.effect());

    std::vector<float> left(64, 0.25f), right(64, -0.25f);
    float* channels[2] = {left.data(), right.data()};
    plugin.process(channels, channels, 64);
    const auto timeCalls = TestHost::get().callsOf(audioMasterGetTime);
    ASSERT_EQ(timeCalls.size(), 1u);
    EXPECT_EQ(timeCalls[0].value, 0x3E00);
}

// Ardour's scan: open, ask, suspend, close; the effect is never switched on.
TEST_F(VST2PluginTest, ArdourScanNeverResumes)
{
    for (int round = 0; round < 3; ++round) {
        LoadedPlugin plugin;
        ASSERT_NE(plugin.effect(), nullptr);
        plugin.dispatch(effOpen);
        EXPECT_EQ(plugin.text(effGetEffectName), "Kelvane");
        EXPECT_EQ(plugin.dispatch(effGetVendorVersion), 0x02050300);
        EXPECT_EQ(plugin.dispatch(effMainsChanged, 0, 0), 0);
        EXPECT_EQ(plugin.close(), 1);
    }
    EXPECT_TRUE(TestHost::get().callsOf(audioMasterWantMidi).empty());
}

// Ardour's session restore: parameters first, then on, program 0, the chunk, and on again without off.
TEST_F(VST2PluginTest, ArdourRestoreOrderEndsWithTheChunksValues)
{
    std::vector<char> saved;
    {
        LoadedPlugin source;
        source.setParameter(0, 0.2f);
        source.setParameter(6, 0.6f);
        void* data = nullptr;
        const VstIntPtr size = source.dispatch(effGetChunk, 0, 0, &data);
        saved.assign(static_cast<char*>(data), static_cast<char*>(data) + size);
    }

    LoadedPlugin plugin;
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    plugin.dispatch(effSetBlockSize, 0, 1024);
    for (VstInt32 i = 0; i < 7; ++i)
        plugin.setParameter(i, 0.9f);
    plugin.dispatch(effMainsChanged, 0, 1);
    plugin.dispatch(effSetProgram, 0, 0);
    plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.size()), saved.data());
    plugin.dispatch(effMainsChanged, 0, 1);

    EXPECT_EQ(plugin.getParameter(0), 0.2f);
    EXPECT_EQ(plugin.getParameter(6), 0.6f);
    EXPECT_EQ(plugin.getParameter(3), 0.5f);

    std::vector<float> left = drumHits(1024, 0), right = drumHits(1024, 1);
    float* io[2] = {left.data(), right.data()};
    plugin.process(io, io, 1024);
    for (float s : left)
        ASSERT_TRUE(std::isfinite(s));
}

// Hosts send blocks shorter than announced, and empty ones; nothing beyond sampleFrames is touched.
TEST_F(VST2PluginTest, ShortAndEmptyBlocksTouchOnlyTheirFrames)
{
    LoadedPlugin plugin;
    switchOn(plugin, 44100.0f, 512);
    plugin.setParameter(0, 1.0f);
    plugin.setParameter(3, 1.0f);   // +9 dB, so every processed sample differs from its input

    const float guard = 1234.5f;
    for (VstInt32 frames : {0, 1, 2, 17, 31, 511, 512}) {
        SCOPED_TRACE(frames);
        std::vector<float> inL(600, guard), inR(600, guard), outL(600, guard), outR(600, guard);
        for (VstInt32 i = 0; i < frames; ++i)
            inL[static_cast<size_t>(i)] = inR[static_cast<size_t>(i)] = 0.1f;
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        plugin.process(in, out, frames);
        for (VstInt32 i = 0; i < frames; ++i)
            ASSERT_NE(outL[static_cast<size_t>(i)], guard) << "frame " << i << " was not written";
        for (size_t i = static_cast<size_t>(frames); i < 600; ++i) {
            ASSERT_EQ(outL[i], guard) << "frame " << i << " beyond the block was written";
            ASSERT_EQ(outR[i], guard);
            ASSERT_EQ(inL[i], guard);
        }
    }
}

// Ardour sends every editor opcode from its own X11 thread while the audio thread runs.
TEST_F(VST2PluginTest, EditorOpcodesFromAThreadOfTheirOwnWhileProcessing)
{
    LoadedPlugin plugin;
    switchOn(plugin, 44100.0f, 256);

    std::atomic<bool> stop {false};
    std::thread audio([&] {
        std::vector<float> left = drumHits(256, 0), right = drumHits(256, 1);
        float* io[2] = {left.data(), right.data()};
        while (!stop)
            plugin.process(io, io, 256);
    });

    std::vector<VstIntPtr> rectAnswers, openAnswers;
    std::thread gui([&] {
        for (int i = 0; i < 200; ++i) {
            ERect* rect = nullptr;
            rectAnswers.push_back(plugin.dispatch(effEditGetRect, 0, 0, &rect));
            if (rect == nullptr || rect->right != 1000 || rect->bottom != 1000)
                rectAnswers.push_back(-1);
            openAnswers.push_back(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x400001)));
            plugin.dispatch(effEditIdle);
            plugin.dispatch(effEditKeyDown, 0, VKEY_LEFT);
            plugin.dispatch(effEditKeyUp, 0, VKEY_LEFT);
            plugin.setParameter(i % 7, static_cast<float>(i % 10) / 10.0f);
            plugin.dispatch(effEditClose);
        }
    });
    gui.join();
    stop = true;
    audio.join();

    EXPECT_TRUE(std::all_of(rectAnswers.begin(), rectAnswers.end(), [](VstIntPtr r) { return r == 1; }));
    EXPECT_TRUE(std::all_of(openAnswers.begin(), openAnswers.end(), [](VstIntPtr r) { return r == 0; }));
}

TEST_F(VST2PluginTest, TwoInstancesAreIndependentAndEitherMayCloseFirst)
{
    auto first = std::make_unique<LoadedPlugin>();
    auto second = std::make_unique<LoadedPlugin>();
    ASSERT_NE(first->effect(), nullptr);
    ASSERT_NE(second->effect(), nullptr);
    first->setParameter(3, 1.0f);
    EXPECT_EQ(second->getParameter(3), 0.5f);
    EXPECT_EQ(first->close(), 1);
    EXPECT_EQ(second->text(effGetParamDisplay, 3), "0.00 dB");
    second->setParameter(3, 0.0f);
    EXPECT_EQ(second->text(effGetParamDisplay, 3), "-9.00 dB");
    EXPECT_EQ(second->close(), 1);
    LoadedPlugin third;
    EXPECT_EQ(third.text(effGetEffectName), "Kelvane");
}

// Hosts unload a module after scanning it and load it again later; nothing of ours may pin it in
// memory or fail the second time. A private copy, so this test's handle is the only one.
TEST_F(VST2PluginTest, TheModuleUnloadsAndLoadsAgain)
{
    const std::filesystem::path copy = std::filesystem::temp_directory_path()
                                       / ("kelvane-unload-" + std::to_string(getpid()) + ".so");
    std::filesystem::copy_file(PluginModule::path(), copy, std::filesystem::copy_options::overwrite_existing);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        void* handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        auto entry = reinterpret_cast<VstPluginEntryProc>(dlsym(handle, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
        AEffect* effect = entry(TestHost::callback);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
        dlclose(handle);
        EXPECT_EQ(dlopen(copy.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "still mapped after dlclose";
    }
    std::filesystem::remove(copy);
}
