#include "framework/plugin/AudioPlugin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

// The smallest concrete plug-in: one stereo bus and one event bus each way.
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
    std::vector<std::string>& log;
    std::string tag;
    RecordingListener(std::vector<std::string>& l, const char* t) : log(l), tag(t) {}
    void note(const char* what, int32_t i) { log.push_back(tag + " " + what + " " + std::to_string(i)); }
    void pluginChanged(int32_t code) override { note("changed", code); }
    void parameterGestureBegan(AudioPlugin*, int32_t i) override { note("begin", i); }
    void parameterChanged(AudioPlugin*, int32_t i, float v) override { note("set", i + static_cast<int>(v * 100)); }
    void parameterGestureEnded(AudioPlugin*, int32_t i) override { note("end", i); }
};

} // namespace

TEST(AudioPlugin, PrepareAllocatesAlignedZeroedBuffersAndClearsEvents)
{
    TestPlugin plugin;
    const uint8_t note[3] = {0x90, 60, 100};
    for (const int blockSize : {0, 3, 512}) {
        SCOPED_TRACE(blockSize);
        plugin.getInputEventBus(0)->addMidiMessage(note, 5);
        plugin.getOutputEventBus(0)->addMidiMessage(note, 5);
        plugin.prepare(blockSize, blockSize != 3, 44100.0);
        EXPECT_EQ(plugin.getBlockSize(), blockSize);
        EXPECT_EQ(plugin.getInputEventBus(0)->getNumEvents() + plugin.getOutputEventBus(0)->getNumEvents(),
                  blockSize == 3 ? 2 : 0) << "events are cleared only with clearBuffers";
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
    EXPECT_EQ(plugin.getOutputEventBus(-1), nullptr);
}

TEST(AudioPlugin, ExternalBuffersAreOnlyPointedAtNeverCleared)
{
    TestPlugin plugin;
    plugin.prepare(16, true, 44100.0);
    auto* out = plugin.getOutputBus(0);
    float* own = out->getChannel(0);
    std::vector<float> host(16, 0.75f);
    out->setChannel(0, host.data());
    EXPECT_EQ(out->getChannel(0), own) << "a bus that owns its buffers ignores foreign ones";

    plugin.useExternalBuffers();
    EXPECT_FALSE(out->ownsBuffers());
    out->setChannel(0, host.data());
    EXPECT_EQ(out->getChannel(0), host.data());
    plugin.prepare(16, true, 44100.0);
    EXPECT_EQ(host, std::vector<float>(16, 0.75f));
    EXPECT_EQ(out->getChannel(0), nullptr) << "pointers are set again before each block";
    out->setNumChannels(1000);
    EXPECT_EQ(out->getNumChannels(), AudioPlugin::AudioBus::maxChannels);
}

TEST(AudioPlugin, ListenersAreKeptOnceInOrder)
{
    TestPlugin plugin;
    std::vector<std::string> log;
    RecordingListener a(log, "a"), b(log, "b");
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
    const std::vector<std::string> expected = {"a changed 0", "b changed 0", "a begin 3", "b begin 3", "a set 53",
                                               "b set 53", "a end 3", "b end 3", "b changed 1"};
    EXPECT_EQ(log, expected);
}

TEST(AudioPlugin, EventBusesRefuseRatherThanGrow)
{
    AudioPlugin::EventBus events(nullptr, "Events");
    const uint8_t msg[3] = {0x80, 1, 2};
    for (int i = 0; i < AudioPlugin::EventBus::capacity; ++i)
        ASSERT_TRUE(events.addMidiMessage(msg, i));
    EXPECT_FALSE(events.addMidiMessage(msg, 0)) << "full: refused rather than allocated on the audio thread";
    ASSERT_NE(events.getEvent(5), nullptr);
    EXPECT_EQ(events.getEvent(5)->samplePosition, 5);
    EXPECT_EQ(events.getEvent(AudioPlugin::EventBus::capacity), nullptr);
}
