#include "effect/KVAudioPlugin.h"
#include "effect/KVSharedResources.h"

#include "AllocationCounter.h"
#include "tests/effect/DrumLoop.h"
#include "tests/effect/ReferenceShaper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using namespace q9framework;

namespace {

// Points the plug-in's main buses at host buffers, as the VST adapter does before each block.
void attach(KVAudioPlugin& plugin, std::vector<float*> ins, std::vector<float*> outs)
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

TEST(KVAudioPlugin, DescribesItselfToTheHost)
{
    const std::unique_ptr<PluginInfo> info(createPluginInfo());
    EXPECT_EQ(info->format, "VST");
    EXPECT_EQ(info->name, "Kelvane");
    EXPECT_EQ(info->vendor, "Velmora Audio Technologies");
    EXPECT_EQ(info->category, "Fx|Dynamics");
    EXPECT_EQ(info->version, 197890);
    EXPECT_EQ(info->uniqueId, 0x4B764C6E);
    EXPECT_EQ(info->numInputs, 2);
    EXPECT_EQ(info->numOutputs, 2);
    EXPECT_EQ(info->flags, 0u);
    EXPECT_EQ(info->editorFlags, 264u);
    EXPECT_FALSE(info->bundleIdentifier.isEmpty());

    KVAudioPlugin plugin;
    EXPECT_EQ(plugin.getNumParameters(), 7);
    EXPECT_TRUE(plugin.isSilentWhenStopped());
    EXPECT_FALSE(plugin.supportsDoublePrecision());
    EXPECT_EQ(plugin.getLatency(), 0);
    EXPECT_TRUE(plugin.hasEditor());
    EXPECT_EQ(plugin.getProgram().name, "init0");
    EXPECT_EQ(plugin.getEditorWidth(), 750);
    EXPECT_EQ(plugin.getEditorHeight(), 175);
}

TEST(KVAudioPlugin, ParameterNamesAndDefaults)
{
    KVAudioPlugin plugin;
    const struct { const char* name; double value; } expected[] = {
        {"Attack", 0.5}, {"Release", 0.5}, {"Bypass", 0.0}, {"Gain", 0.5},
        {"Attack Time", 0.5}, {"Release Time", 0.5}, {"Drive", 0.0}};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plugin.getParameterName(i), expected[i].name);
        EXPECT_EQ(plugin.getParameter(i), expected[i].value);
    }
    for (const int bad : {-1, 7, 1000, INT32_MIN}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(plugin.getParameterName(bad).isEmpty());
        EXPECT_TRUE(plugin.getParameterText(bad, 0.5).isEmpty());
        EXPECT_EQ(plugin.getParameter(bad), 0.0);
        plugin.setParameter(bad, 0.9);
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(plugin.getParameter(i), expected[i].value) << "bad indices changed nothing";
}

TEST(KVAudioPlugin, DisplayTexts)
{
    KVAudioPlugin plugin;
    const struct { int index; double value; const char* text; } cases[] = {
        {0, 0.5, "0 %"}, {0, 0.0, "-100 %"}, {0, 1.0, "100 %"}, {0, 0.001, "-99 %"},
        {0, 0.7499, "49 %"}, {0, 0.2501, "-49 %"}, {0, 2.5, "400 %"},
        {1, 0.5, "0 %"}, {1, 0.25, "-50 %"}, {1, 0.0, "-100 %"},
        {2, 0.0, "Off"}, {2, 0.4999, "Off"}, {2, 0.5, "On"}, {2, 1.0, "On"},
        {3, 0.5, "0.00 dB"}, {3, 1.0, "9.00 dB"}, {3, 0.0, "-9.00 dB"}, {3, 0.75, "4.50 dB"},
        {3, 0.25, "-4.50 dB"},
        {4, 0.0, "sharp"}, {4, 0.3329, "sharp"}, {4, 0.333, "mid"}, {4, 0.6659, "mid"}, {4, 0.666, "soft"},
        {4, 1.0, "soft"}, {5, 0.1, "sharp"}, {5, 0.5, "mid"}, {5, 0.9, "soft"},
        {6, 0.0, "0 %"}, {6, 0.25, "25 %"}, {6, 0.2599, "25 %"}, {6, 1.0, "100 %"},
        {6, 1e12, "2147483647 %"}, {6, -1e12, "-2147483648 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "index " << c.index << " value " << c.value);
        EXPECT_EQ(plugin.getParameterText(c.index, c.value), c.text);
    }
    EXPECT_EQ(plugin.getParameter(3), 0.5) << "display text does not store the value";
}

TEST(KVAudioPlugin, SetParameterStoresAndDrivesTheEngine)
{
    KVAudioPlugin plugin;
    plugin.setParameter(2, 0.5);
    EXPECT_TRUE(plugin.getEngine().isBypassed()) << "0.5 switches bypass on";
    plugin.setParameter(2, 0.49);
    EXPECT_FALSE(plugin.getEngine().isBypassed());

    const struct { double value; float factor; } times[] = {
        {0.0, 0.5f}, {0.3329, 0.5f}, {0.333, 1.0f}, {0.665, 1.0f}, {0.666, 2.0f}, {1.0, 2.0f}};
    for (const auto& t : times) {
        SCOPED_TRACE(t.value);
        plugin.setParameter(4, t.value);
        plugin.setParameter(5, t.value);
        EXPECT_EQ(plugin.getEngine().getAttackTimeFactor(), t.factor);
        EXPECT_EQ(plugin.getEngine().getReleaseTimeFactor(), t.factor);
    }

    plugin.setParameter(0, 1.0);
    plugin.setParameter(1, 0.0);
    plugin.setParameter(3, 0.0);
    plugin.setParameter(6, 0.1);
    EXPECT_EQ(plugin.getEngine().getAttackTarget(), 0.4f);
    EXPECT_EQ(plugin.getEngine().getReleaseTarget(), -1.0f);
    EXPECT_EQ(plugin.getEngine().getGainTarget(), static_cast<float>(std::pow(10.0, -9.0 / 20.0)));
    EXPECT_EQ(plugin.getEngine().getDriveTarget(), 1.0f);

    plugin.setParameter(3, 0.1234567891);
    EXPECT_EQ(plugin.getParameter(3), static_cast<double>(0.1234567891f)) << "stored as f32";
    plugin.setParameter(0, 7.0);
    EXPECT_EQ(plugin.getParameter(0), 7.0) << "not clamped";
}

TEST(KVAudioPlugin, ProcessRunsTheEngineInPlaceOnHostBuffers)
{
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        KVAudioPlugin plugin;
        plugin.useExternalBuffers();
        if (channels == 1)
            plugin.setupMono(), plugin.useExternalBuffers();
        plugin.prepare(512, true, 44100.0);
        plugin.setParameter(0, 1.0);
        plugin.setParameter(1, 0.2);
        plugin.setParameter(6, 0.5);

        ReferenceShaper ref;
        ref.attackTarget = plugin.getEngine().getAttackTarget();
        ref.releaseTarget = plugin.getEngine().getReleaseTarget();
        ref.gainTarget = plugin.getEngine().getGainTarget();
        ref.driveTarget = plugin.getEngine().getDriveTarget();

        const DrumLoop drums(4096);
        std::vector<float> l(drums.left), r(drums.right), el(4096), er(4096);
        ProcessInfo info;
        for (int pos = 0; pos < 4096; pos += 512) {
            if (channels == 2)
                attach(plugin, {&l[pos], &r[pos]}, {&l[pos], &r[pos]});
            else
                attach(plugin, {&l[pos]}, {&l[pos]});
            plugin.process(info, 512);
            ref.block(&drums.left[pos], channels == 2 ? &drums.right[pos] : nullptr, &el[pos], &er[pos], 512);
        }
        EXPECT_EQ(std::memcmp(l.data(), el.data(), 4096 * sizeof(float)), 0);
        if (channels == 2)
            EXPECT_EQ(std::memcmp(r.data(), er.data(), 4096 * sizeof(float)), 0);
        else
            EXPECT_EQ(r, drums.right) << "the second buffer is not touched in mono";
    }
}

TEST(KVAudioPlugin, MismatchedBusLayoutsAreLeftUnprocessed)
{
    KVAudioPlugin plugin;
    plugin.useExternalBuffers();
    plugin.prepare(64, true, 44100.0);
    std::vector<float> a(64, 0.5f), b(64, 0.25f), c(64, 0.125f), d(64, -1.0f);
    const struct { std::vector<float*> ins, outs; const char* what; } layouts[] = {
        {{a.data()}, {b.data(), c.data()}, "1 in, 2 out"},
        {{a.data(), b.data()}, {c.data()}, "2 in, 1 out"},
        {{a.data(), b.data(), c.data()}, {a.data(), b.data(), c.data()}, "3 channels"},
        {{}, {}, "no channels"},
        {{a.data(), nullptr}, {c.data(), d.data()}, "a missing host buffer"},
    };
    ProcessInfo info;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.what);
        attach(plugin, layout.ins, layout.outs);
        plugin.process(info, 64);
        EXPECT_EQ(a, std::vector<float>(64, 0.5f));
        EXPECT_EQ(b, std::vector<float>(64, 0.25f));
        EXPECT_EQ(c, std::vector<float>(64, 0.125f));
        EXPECT_EQ(d, std::vector<float>(64, -1.0f));
    }
}

TEST(KVAudioPlugin, ProcessAllocatesNothingAndLeavesLevelsWithoutEditor)
{
    KVAudioPlugin plugin;
    plugin.useExternalBuffers();
    plugin.prepare(512, true, 48000.0);
    const DrumLoop drums(512);
    std::vector<float> l(drums.left), r(drums.right);
    attach(plugin, {l.data(), r.data()}, {l.data(), r.data()});
    ProcessInfo info;
    plugin.process(info, 512);
    const AllocationCounter counter;
    for (int i = 0; i < 10; ++i)
        plugin.process(info, 512);
    plugin.process(info, 0);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(plugin.getInputLevel(), 0.0f) << "meters run only while an editor is attached";
    EXPECT_EQ(plugin.getOutputLevel(), 0.0f);
    EXPECT_GE(plugin.takeSaturationPeak(), 0.0f);
    EXPECT_EQ(plugin.takeSaturationPeak(), 0.0f);
}

TEST(KVAudioPlugin, PrepareFollowsTheHostRate)
{
    KVAudioPlugin plugin;
    plugin.prepare(256, true, 96000.0);
    EXPECT_EQ(plugin.getEngine().getSampleRate(), 96000.0f);
    EXPECT_EQ(plugin.getBlockSize(), 256);
    plugin.prepare(256, true, 0.0);
    plugin.prepare(256, true, -48000.0);
    EXPECT_EQ(plugin.getEngine().getSampleRate(), 96000.0f) << "a rate the host cannot mean is ignored";
    // Times in milliseconds stay the same: the 0.2 s fall of F is -20 dB at 96 kHz too.
    EXPECT_NEAR(std::pow(static_cast<double>(plugin.getEngine().getCoefficients().fast), 0.2 * 96000), 0.1, 1e-4);
}

TEST(KVAudioPlugin, FirstInstanceAcquiresSharedResourcesLastReleases)
{
    const int before = KVSharedResources::getInstanceCount();
    auto first = std::make_unique<KVAudioPlugin>();
    auto second = std::make_unique<KVAudioPlugin>();
    EXPECT_EQ(KVSharedResources::getInstanceCount(), before + 2);
    first.reset();
    EXPECT_EQ(KVSharedResources::getInstanceCount(), before + 1);
    second.reset();
    EXPECT_EQ(KVSharedResources::getInstanceCount(), before);
    EXPECT_FALSE(before == 0 && KVSharedResources::isPackLoaded()) << "the last instance frees the pack";
}
