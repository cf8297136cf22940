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

TEST_F(VST2PluginTest, EveryEntryPointAsksTheHostVersionAndRefusesAHostWithout)
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

        TestHost::get().version = 0;
        VstPluginEntryProc entry = PluginModule::get().entry(name);
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
    for (size_t offset : {8, 16, 24, 32, 96, 120, 128})                 // functions and object
        EXPECT_NE(fieldAt<void*>(e, offset), nullptr) << "pointer at " << offset;
    EXPECT_EQ(fieldAt<int32_t>(e, 40), 1);                              // numPrograms
    EXPECT_EQ(fieldAt<int32_t>(e, 44), 7);                              // numParams
    EXPECT_EQ(fieldAt<int32_t>(e, 48), 2);                              // numInputs
    EXPECT_EQ(fieldAt<int32_t>(e, 52), 2);                              // numOutputs
    EXPECT_EQ(fieldAt<int32_t>(e, 56), 0x231);                          // flags
    EXPECT_EQ(fieldAt<float>(e, 92), 1.0f);                             // ioRatio
    EXPECT_EQ(fieldAt<int32_t>(e, 112), 0x4B764C6E);                    // 'KvLn'
    EXPECT_EQ(fieldAt<int32_t>(e, 116), 1);                             // version
    EXPECT_EQ(fieldAt<int32_t>(e, 80), 0);                              // initialDelay
    for (size_t offset : {64, 72, 104})                                 // reserved, user
        EXPECT_EQ(fieldAt<intptr_t>(e, offset), 0) << offset;
    for (size_t offset = 136; offset < 192; ++offset)
        EXPECT_EQ(fieldAt<char>(e, offset), 0) << "future byte " << offset;
}

TEST_F(VST2PluginTest, ChunkBytesStayUntilTheNextGetChunkAndTheHostsBytesAreNotKept)
{
    LoadedPlugin plugin;
    const float values[7] = {0.9f, 0.1f, 1.0f, 0.75f, 0.0f, 1.0f, 0.4f};
    for (VstInt32 i = 0; i < 7; ++i)
        plugin.setParameter(i, values[i]);

    void* data = nullptr;
    const VstIntPtr size = plugin.dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 8);
    const std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
    for (VstInt32 i = 0; i < 7; ++i)
        plugin.setParameter(i, 0.5f);
    EXPECT_EQ(std::memcmp(data, saved.data(), saved.size()), 0);

    std::vector<char> copy = saved;
    EXPECT_EQ(plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data()), 0);
    std::fill(copy.begin(), copy.end(), 0);
    for (VstInt32 i = 0; i < 7; ++i)
        EXPECT_EQ(plugin.getParameter(i), values[i]) << "parameter " << i;

    void* programData = nullptr;
    ASSERT_EQ(plugin.dispatch(effGetChunk, 1, 0, &programData), size);
    EXPECT_EQ(std::memcmp(programData, saved.data(), saved.size()), 0) << "bank and program chunks agree";

    // What the adapter itself must refuse before the effect sees it.
    EXPECT_EQ(plugin.dispatch(effSetChunk, 0, 100, nullptr), 0);
    EXPECT_EQ(plugin.getParameter(0), values[0]);
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
    EXPECT_EQ(plugin.dispatch(effProcessEvents, 0, 0, nullptr), 1) << "once answered 0";
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
#ifndef KELVANE_SANITIZED   // where the test programs keep every module mapped for the leak checker
        EXPECT_EQ(dlopen(copy.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "still mapped after dlclose";
#endif
    }
    std::filesystem::remove(copy);
}
