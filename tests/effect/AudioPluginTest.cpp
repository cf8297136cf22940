#include "framework/plugin/AudioPlugin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace q9framework;

namespace {

// The smallest concrete plug-in: one stereo in, one stereo out, one event bus each way.
class TestPlugin : public AudioPlugin {
public:
    TestPlugin()
    {
        addInputBus(new AudioBus(this, "In", 2));
        addOutputBus(new AudioBus(this, "Out", 2));
        addInputEventBus(new EventBus(this, "Events in"));
        addOutputEventBus(new EventBus(this, "Events out"));
    }
    bool getState(Stream&) override { return true; }
    bool setState(Stream&) override { return true; }
    bool hasEditor() override { return false; }
    void setParameter(int32_t, double) override {}
    bool isSilentWhenStopped() override { return false; }
    void process(ProcessInfo&, int32_t) noexcept override {}
};

struct RecordingListener : AudioPlugin::Listener {
    std::vector<std::string>* log;
    const char* tag;
    RecordingListener(std::vector<std::string>* l, const char* t) : log(l), tag(t) {}
    void pluginChanged(int32_t code) override { log->push_back(std::string(tag) + " changed " + std::to_string(code)); }
    void parameterGestureBegan(AudioPlugin*, int32_t i) override { log->push_back(std::string(tag) + " begin " + std::to_string(i)); }
    void parameterChanged(AudioPlugin*, int32_t i, float v) override
    {
        log->push_back(std::string(tag) + " set " + std::to_string(i) + "=" + std::to_string(v));
    }
    void parameterGestureEnded(AudioPlugin*, int32_t i) override { log->push_back(std::string(tag) + " end " + std::to_string(i)); }
};

} // namespace

TEST(AudioPlugin, PrepareAllocatesAlignedZeroedBuffers)
{
    TestPlugin plugin;
    for (const int blockSize : {0, 1, 3, 512}) {
        SCOPED_TRACE(blockSize);
        plugin.prepare(blockSize, false, 44100.0);
        EXPECT_EQ(plugin.getBlockSize(), blockSize);
        for (auto* bus : {plugin.getInputBus(0), plugin.getOutputBus(0)})
            for (int c = 0; c < 2; ++c) {
                float* channel = bus->getChannel(c);
                ASSERT_NE(channel, nullptr);
                EXPECT_EQ(reinterpret_cast<uintptr_t>(channel) % 16, 0u);
                for (int i = 0; i < blockSize; ++i)
                    ASSERT_EQ(channel[i], 0.0f);
                if (blockSize > 0)
                    channel[blockSize - 1] = 1.0f; // the whole block is writable
            }
    }
    EXPECT_EQ(plugin.getInputBus(0)->getChannel(2), nullptr);
    EXPECT_EQ(plugin.getInputBus(1), nullptr);
    EXPECT_EQ(plugin.getOutputBus(-1), nullptr);
}

TEST(AudioPlugin, ClearingEmptiesEventListsAndSparesHostBuffers)
{
    TestPlugin plugin;
    const uint8_t note[3] = {0x90, 60, 100};
    plugin.getInputEventBus(0)->addMidiMessage(note, 5);
    plugin.getOutputEventBus(0)->addMidiMessage(note, 7);
    plugin.prepare(16, false, 44100.0);
    EXPECT_EQ(plugin.getInputEventBus(0)->getNumEvents(), 1) << "kept without clearBuffers";
    plugin.prepare(16, true, 44100.0);
    EXPECT_EQ(plugin.getInputEventBus(0)->getNumEvents(), 0);
    EXPECT_EQ(plugin.getOutputEventBus(0)->getNumEvents(), 0);

    plugin.useExternalBuffers();
    std::vector<float> host(16, 0.75f);
    auto* out = plugin.getOutputBus(0);
    EXPECT_FALSE(out->ownsBuffers());
    out->setChannel(0, host.data());
    EXPECT_EQ(out->getChannel(0), host.data());
    plugin.prepare(16, true, 44100.0);
    EXPECT_EQ(host, std::vector<float>(16, 0.75f));
    EXPECT_EQ(out->getChannel(0), nullptr) << "pointers are set again before each block";
}

TEST(AudioPlugin, OwnedBusesIgnoreForeignPointersAndCountsAreClamped)
{
    TestPlugin plugin;
    plugin.prepare(8, true, 44100.0);
    float other[8] = {};
    auto* in = plugin.getInputBus(0);
    float* own = in->getChannel(0);
    in->setChannel(0, other);
    EXPECT_EQ(in->getChannel(0), own);
    in->setNumChannels(1000);
    EXPECT_EQ(in->getNumChannels(), AudioPlugin::AudioBus::maxChannels);
    in->setNumChannels(-3);
    EXPECT_EQ(in->getNumChannels(), 0);
    EXPECT_EQ(in->getChannel(0), nullptr);
    EXPECT_EQ(in->getName(), "In");
    EXPECT_EQ(in->getOwner(), &plugin);
}

TEST(AudioPlugin, ListenersAreNotifiedOnceEachInOrder)
{
    TestPlugin plugin;
    std::vector<std::string> log;
    RecordingListener a(&log, "a"), b(&log, "b");
    plugin.addListener(&a);
    plugin.addListener(&b);
    plugin.addListener(&a);
    plugin.sendPluginChanged(0);
    plugin.sendParameterGestureBegan(3);
    plugin.sendParameterChanged(3, 0.5f);
    plugin.sendParameterGestureEnded(3);
    plugin.removeListener(&a);
    plugin.removeListener(&a);
    plugin.sendPluginChanged(1);
    const std::vector<std::string> expected = {
        "a changed 0", "b changed 0", "a begin 3", "b begin 3", "a set 3=0.500000", "b set 3=0.500000",
        "a end 3", "b end 3", "b changed 1"};
    EXPECT_EQ(log, expected);
}

TEST(AudioPlugin, EditorsListIgnoresDuplicatesAndUnknowns)
{
    TestPlugin plugin;
    int storageA = 0, storageB = 0;
    auto* a = reinterpret_cast<AudioPluginEditor*>(&storageA);
    auto* b = reinterpret_cast<AudioPluginEditor*>(&storageB);
    plugin.addEditor(a);
    plugin.addEditor(a);
    plugin.removeEditor(b);
    EXPECT_EQ(plugin.getNumEditors(), 1);
    plugin.addEditor(b);
    plugin.removeEditor(a);
    EXPECT_EQ(plugin.getNumEditors(), 1);
    EXPECT_EQ(plugin.getEditor(0), b);
    EXPECT_EQ(plugin.getEditor(1), nullptr);
}

TEST(AudioPlugin, EventBusRefusesBeyondCapacity)
{
    TestPlugin plugin;
    auto* bus = plugin.getInputEventBus(0);
    const uint8_t msg[3] = {0x80, 1, 2};
    for (int i = 0; i < AudioPlugin::EventBus::capacity; ++i)
        ASSERT_TRUE(bus->addMidiMessage(msg, i));
    EXPECT_FALSE(bus->addMidiMessage(msg, 0));
    EXPECT_EQ(bus->getNumEvents(), AudioPlugin::EventBus::capacity);
    ASSERT_NE(bus->getEvent(5), nullptr);
    EXPECT_EQ(bus->getEvent(5)->samplePosition, 5);
    EXPECT_EQ(bus->getEvent(5)->data[0], 0x80);
    EXPECT_EQ(bus->getEvent(-1), nullptr);
}

TEST(AudioPlugin, AutomationBusReplacesOrAppends)
{
    AudioPlugin::AutomationBus bus(nullptr, "Automation");
    EXPECT_EQ(bus.getValue(4), 0.0);
    bus.setValue(4, 0.25);
    bus.setValue(9, 0.5);
    bus.setValue(4, 0.75);
    EXPECT_EQ(bus.getNumValues(), 2);
    EXPECT_EQ(bus.getValue(4), 0.75);
    EXPECT_EQ(bus.getValue(9), 0.5);
    EXPECT_FALSE(bus.hasValue(1));
    bus.clear();
    EXPECT_EQ(bus.getValue(9), 0.0);
}

TEST(AudioPlugin, DefaultsOfTheRecords)
{
    const ProcessInfo info;
    EXPECT_EQ(info.samplePosition, 0.0);
    EXPECT_EQ(info.sampleRate, 44100.0);
    EXPECT_EQ(info.ppqPosition, 0.0);
    EXPECT_EQ(info.tempo, 125.0);
    EXPECT_EQ(info.barLength, 4.0);
    EXPECT_EQ(info.timeSigNumerator, 4);
    EXPECT_EQ(info.timeSigDenominator, 4);

    TestPlugin plugin;
    EXPECT_EQ(plugin.getInfo().format, "VST");
    EXPECT_TRUE(plugin.getInfo().name.isEmpty());
    EXPECT_EQ(plugin.getInfo().editorFlags, 0x10000u);
    EXPECT_EQ(plugin.getInfo().uniqueId, 0);
    EXPECT_EQ(PluginInfo::fourCharCode("NvEf"), 0x4E764566);
    EXPECT_EQ(plugin.getNumParameters(), 0);
    EXPECT_EQ(plugin.createEditor(), nullptr);
    EXPECT_FALSE(plugin.setupStereo());

    // The processing lock is recursive: a parameter change inside a locked block does not deadlock.
    plugin.lock();
    plugin.lock();
    plugin.unlock();
    plugin.unlock();
}
