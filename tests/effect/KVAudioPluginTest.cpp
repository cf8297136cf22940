#include "effect/KVAudioPlugin.h"
#include "tests/effect/EngineTestPeer.h"
#include "effect/KVSharedResources.h"

#include "AllocationCounter.h"
#include "tests/effect/DrumLoop.h"
#include "tests/effect/ReferenceShaper.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/core/FileStream.h"
#include "framework/resources/ResourcePack.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <memory>
#include <vector>

using namespace q9framework;

namespace {

// Points the plug-in's main buses at host buffers, as the VST adapter does before each block.
void attach(KVAudioPlugin& plugin, const std::vector<float*>& ins, const std::vector<float*>& outs)
{
    auto* in = plugin.getInputBus(0);
    auto* out = plugin.getOutputBus(0);
    in->setNumChannels(static_cast<int32_t>(ins.size()));
    out->setNumChannels(static_cast<int32_t>(outs.size()));
    for (size_t c = 0; c < ins.size(); ++c)
        in->setChannel(static_cast<int32_t>(c), ins[c]);
    for (size_t c = 0; c < outs.size(); ++c)
        out->setChannel(static_cast<int32_t>(c), outs[c]);
}

} // namespace

TEST(KVAudioPlugin, ParameterNamesAndDisplayTexts)
{
    KVAudioPlugin plugin;
    const char* const names[] = {"Attack", "Release", "Bypass", "Gain", "Attack Time", "Release Time", "Drive"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(plugin.getParameterName(i), names[i]);
    const struct { int index; double value; const char* text; } cases[] = {
        {0, 0.001, "-99 %"}, {0, 2.5, "400 %"}, {2, 0.4999, "Off"}, {2, 0.5, "On"}, {3, 0.0, "-9.00 dB"},
        {4, 0.3329, "sharp"}, {4, 0.333, "mid"}, {4, 0.666, "soft"}, {6, 1e12, "2147483647 %"}, {7, 0.5, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "index " << c.index << " value " << c.value);
        EXPECT_EQ(plugin.getParameterText(c.index, c.value), c.text);
    }
    EXPECT_EQ(plugin.getParameter(3), 0.5) << "a display text stores nothing";
}

TEST(KVAudioPlugin, SetParameterStoresAndDrivesTheEngine)
{
    KVAudioPlugin plugin;
    plugin.setParameter(2, 0.5);
    EXPECT_TRUE(peek(plugin).isBypassed());
    const struct { double value; float factor; } times[] = {{0.3329, 0.5f}, {0.665, 1.0f}, {0.666, 2.0f}};
    for (const auto& t : times) {
        SCOPED_TRACE(t.value);
        plugin.setParameter(4, t.value);
        plugin.setParameter(5, t.value);
        EXPECT_EQ(peek(plugin).getAttackTimeFactor(), t.factor);
        EXPECT_EQ(peek(plugin).getReleaseTimeFactor(), t.factor);
    }
    plugin.setParameter(6, 0.1);
    EXPECT_EQ(peek(plugin).getDriveTarget(), 1.0f);
    plugin.setParameter(3, 0.1234567891);
    EXPECT_EQ(plugin.getParameter(3), static_cast<double>(0.1234567891f)) << "stored as f32";
    plugin.setParameter(0, 7.0);
    EXPECT_EQ(plugin.getParameter(0), 7.0) << "not clamped";

    // A value that is no finite f32 would stay in the ramps for good: refused, and the sound survives.
    plugin.setParameter(3, 0.5);
    for (const double bad : {std::nan(""), -HUGE_VAL, 1e300}) {
        plugin.setParameter(3, bad);
        EXPECT_EQ(plugin.getParameter(3), 0.5);
    }
    EXPECT_EQ(peek(plugin).getGainTarget(), 1.0f) << "the engine kept 0 dB";
}

TEST(KVAudioPlugin, ProcessRunsTheEngineInPlaceOnHostBuffersWithoutAllocating)
{
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        KVAudioPlugin plugin;
        if (channels == 1)
            plugin.setupMono();
        plugin.useExternalBuffers();
        plugin.prepare(512, true, 44100.0);
        plugin.setParameter(0, 1.0);
        plugin.setParameter(1, 0.2);
        plugin.setParameter(6, 0.5);
        ReferenceShaper ref;
        ref.attackTarget = peek(plugin).getAttackTarget();
        ref.releaseTarget = peek(plugin).getReleaseTarget();
        ref.driveTarget = peek(plugin).getDriveTarget();

        const DrumLoop drums(4096);
        std::vector<float> l(drums.left), r(drums.right), el(4096), er(4096);
        ProcessInfo info;
        const AllocationCounter counter;
        for (int pos = 0; pos < 4096; pos += 512) {
            attach(plugin, channels == 2 ? std::vector<float*> {&l[pos], &r[pos]} : std::vector<float*> {&l[pos]},
                   channels == 2 ? std::vector<float*> {&l[pos], &r[pos]} : std::vector<float*> {&l[pos]});
            const AllocationCounter inProcess;
            plugin.process(info, 512);
            plugin.process(info, 0);
            EXPECT_EQ(inProcess.count(), 0u);
            ref.block(&drums.left[pos], channels == 2 ? &drums.right[pos] : nullptr, &el[pos], &er[pos], 512);
        }
        EXPECT_EQ(std::memcmp(l.data(), el.data(), sizeof(float) * 4096), 0);
        EXPECT_EQ(std::memcmp(r.data(), channels == 2 ? er.data() : drums.right.data(), sizeof(float) * 4096), 0);
        EXPECT_EQ(plugin.getInputLevel() + plugin.getOutputLevel(), 0.0f) << "no meters without an editor";
        EXPECT_GT(plugin.takeSaturationPeak(), 0.0f);
        EXPECT_EQ(plugin.takeSaturationPeak(), 0.0f);
    }
}

TEST(KVAudioPlugin, PrepareFollowsTheHostRateAndIgnoresRatesNoHostCanMean)
{
    KVAudioPlugin plugin;
    plugin.setupMono();
    plugin.useExternalBuffers();
    int storage = 0;
    auto* editor = reinterpret_cast<AudioPluginEditor*>(&storage); // only counted: the meters run
    plugin.addEditor(editor);
    plugin.prepare(64, true, 1000.0);
    for (const double bad : {0.0, -48000.0, double(NAN), double(INFINITY), 1e300 /* infinite as f32 */})
        plugin.prepare(64, true, bad);
    EXPECT_EQ(peek(plugin).getSampleRate(), 1000.0f);

    // The meters still fall a quarter of full scale per second at 1000 Hz: 0.00025 per frame.
    std::vector<float> x(100, 0.0f);
    x[0] = 1.0f;
    attach(plugin, {x.data()}, {x.data()});
    ProcessInfo info;
    plugin.process(info, 100);
    EXPECT_NEAR(plugin.getInputLevel(), 1.0f - 100 * 0.00025f, 1e-5f);
    plugin.removeEditor(editor);
}

TEST(KVAudioPlugin, MismatchedBusLayoutsAreLeftUnprocessed)
{
    KVAudioPlugin plugin;
    plugin.useExternalBuffers();
    plugin.prepare(64, true, 44100.0);
    std::vector<float> a(64, 0.5f), b(64, 0.25f), c(64, 0.125f);
    const struct { std::vector<float*> ins, outs; const char* what; } layouts[] = {
        {{a.data()}, {b.data(), c.data()}, "1 in, 2 out"},
        {{a.data(), nullptr}, {b.data(), c.data()}, "a missing host buffer"}};
    ProcessInfo info;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.what);
        attach(plugin, layout.ins, layout.outs);
        plugin.process(info, 64);
        EXPECT_EQ(a, std::vector<float>(64, 0.5f));
        EXPECT_EQ(b, std::vector<float>(64, 0.25f));
        EXPECT_EQ(c, std::vector<float>(64, 0.125f));
    }
}

TEST(KVAudioPlugin, FirstInstanceLoadsTheSharedPackLastFreesIt)
{
    // A pack file of one entry in a folder of its own stands in for the bundle's resources.
    const std::string folder = ::testing::TempDir() + "kv_pack";
    std::filesystem::create_directories(folder);
    {
        ResourcePack pack;
        pack.addString("probe", "artwork");
        FileStream file((folder + "/resources.bin").c_str(), FileStream::modeWrite);
        ASSERT_TRUE(pack.save(file));
    }
    KVSharedResources::setResourcesFolder(folder.c_str());
    ASSERT_EQ(KVSharedResources::getInstanceCount(), 0);
    auto first = std::make_unique<KVAudioPlugin>();
    ResourcePack* loaded = KVSharedResources::getPack();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->getString("probe"), "artwork");
    auto second = std::make_unique<KVAudioPlugin>();
    EXPECT_EQ(KVSharedResources::getPack(), loaded) << "the second instance shares it";
    first.reset();
    EXPECT_EQ(KVSharedResources::getPack(), loaded) << "destroying the first keeps it";
    second.reset();
    EXPECT_EQ(KVSharedResources::getPack(), nullptr) << "the last frees it";
    KVSharedResources::setResourcesFolder(nullptr);
}
