// VST2Wrapper and createVST2Engine over a plug-in that records what reaches it, so the mapping of each
// host call onto the AudioPlugin interface can be checked directly.
#include "TestHost.h"
#include "framework/plugin/AudioPlugin.h"
#include "framework/plugin/VST2Entry.h"
#include "framework/plugin/VST2Wrapper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

using namespace q9framework;

namespace {

class RecordingPlugin : public AudioPlugin {
public:
    static inline RecordingPlugin* last = nullptr;
    static inline uint32_t infoFlags = 0;

    RecordingPlugin()
    {
        last = this;
        addInputBus(new AudioBus(this, "Input", 2));
        addOutputBus(new AudioBus(this, "Output", 2));
    }
    ~RecordingPlugin() override { last = nullptr; }

    bool getState(Stream&) override { return true; }
    bool setState(Stream&) override { return true; }
    bool hasEditor() override { return true; }
    void setParameter(int32_t index, double value) override
    {
        // Another thread must not get the processing lock while a parameter changes.
        bool free = false;
        std::thread probe([&] {
            free = getLock().tryEnter();
            if (free)
                getLock().exit();
        });
        probe.join();
        lockWasHeld = !free;
        lastIndex = index;
        lastValue = value;
    }
    int32_t getNumParameters() override { return 3; }
    double getParameter(int32_t index) override { return index == 1 ? 0.25 : 0.0; }
    String getParameterText(int32_t index, double value) override
    {
        return index == 1 ? String::formatted("%d/%.2f", index, value) : String(longText.c_str());
    }
    String getParameterName(int32_t) override { return String(longText.c_str()); }
    bool isSilentWhenStopped() override { return false; }
    void process(ProcessInfo& transport, int32_t numSamples) noexcept override
    {
        lastInfo = transport;
        lastFrames = numSamples;
        AudioBus* in = getInputBus(0);
        AudioBus* out = getOutputBus(0);
        inChannel1 = in->getChannel(1);
        outChannel0 = out->getChannel(0);
        inChannels = in->getNumChannels();
    }

    bool lockWasHeld = false;
    int32_t lastIndex = -100;
    double lastValue = -1.0;
    std::string longText = "short";
    ProcessInfo lastInfo;
    int32_t lastFrames = -1;
    float* inChannel1 = nullptr;
    float* outChannel0 = nullptr;
    int32_t inChannels = 0;
};

PluginInfo* makeInfo()
{
    auto* info = new PluginInfo();
    info->name = "Recorder";
    info->vendor = "Test Vendor";
    info->version = 0x04030201;
    info->flags = RecordingPlugin::infoFlags;
    info->numInputs = 2;
    info->numOutputs = 2;
    info->uniqueId = PluginInfo::fourCharCode("RcPl");
    return info;
}

AudioPlugin* makePlugin()
{
    return new RecordingPlugin();
}

AudioPlugin* makeNothing()
{
    return nullptr;
}

class VST2WrapperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHost::get().reset();
        RecordingPlugin::infoFlags = 0;
    }
    void TearDown() override
    {
        if (effect != nullptr)
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    void open()
    {
        effect = createVST2Engine(TestHost::callback, makeInfo, makePlugin);
        ASSERT_NE(effect, nullptr);
        plugin = RecordingPlugin::last;
        ASSERT_NE(plugin, nullptr);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    VST2Wrapper& wrapper() { return *static_cast<VST2Wrapper*>(AudioEffect::fromAeffect(effect)); }

    AEffect* effect = nullptr;
    RecordingPlugin* plugin = nullptr;
};

} // namespace

TEST_F(VST2WrapperTest, ParameterStringsAreCutBeforeACharacterThatCrossesTheBound)
{
    open();
    plugin->longText = std::string(22, 'a') + "\xC3\xA9";
    char buffer[128];
    std::memset(buffer, 'G', sizeof(buffer));
    dispatch(effGetParamName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), std::string(22, 'a'));
    char display[64];
    dispatch(effGetParamDisplay, 1, 0, display);
    EXPECT_STREQ(display, "1/0.25") << "the display shows the stored value";
}

TEST_F(VST2WrapperTest, ParameterChangesHoldTheProcessingLock)
{
    open();
    effect->setParameter(effect, 2, 0.625f);
    EXPECT_EQ(plugin->lastIndex, 2);
    EXPECT_EQ(plugin->lastValue, 0.625);
    EXPECT_TRUE(plugin->lockWasHeld);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.25f);
}

TEST_F(VST2WrapperTest, EditorGesturesReachTheHostAsAutomation)
{
    open();
    AudioPluginEditor* const editor = nullptr;
    wrapper().parameterGestureBegan(editor, 1);
    wrapper().parameterChanged(editor, 1, 0.75);
    wrapper().parameterGestureEnded(editor, 1);
    EXPECT_EQ(plugin->lastValue, 0.75);
    EXPECT_TRUE(plugin->lockWasHeld);

    std::vector<VstInt32> opcodes;
    for (const auto& call : TestHost::get().calls())
        if (call.opcode != audioMasterVersion)
            opcodes.push_back(call.opcode);
    EXPECT_EQ(opcodes, (std::vector<VstInt32> {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));
    const auto automate = TestHost::get().callsOf(audioMasterAutomate);
    ASSERT_EQ(automate.size(), 1u);
    EXPECT_EQ(automate[0].index, 1);
    EXPECT_EQ(automate[0].opt, 0.75f);
    EXPECT_EQ(automate[0].effect, effect);
}

TEST_F(VST2WrapperTest, ProcessingPointsTheBusesAtTheHostBuffersWithTheHostsTransport)
{
    open();
    float inL[8] {}, inR[8] {}, outL[8] {}, outR[8] {};
    float* in[2] = {inL, inR};
    float* out[2] = {outL, outR};

    effect->processReplacing(effect, in, out, 8);
    EXPECT_EQ(plugin->lastInfo.tempo, 125.0) << "no time info: the defaults";
    EXPECT_EQ(plugin->lastInfo.ppqPosition, 0.0);

    VstTimeInfo time {};
    time.ppqPos = 33.25;
    time.tempo = 87.5;
    time.samplePos = 999.0;
    TestHost::get().timeInfo = &time;
    effect->processReplacing(effect, in, out, 8);
    EXPECT_EQ(plugin->lastInfo.ppqPosition, 33.25);
    EXPECT_EQ(plugin->lastInfo.tempo, 87.5);
    EXPECT_EQ(plugin->lastInfo.samplePosition, 0.0) << "only position and tempo are taken";
    EXPECT_EQ(plugin->lastFrames, 8);
    EXPECT_EQ(plugin->inChannel1, inR);
    EXPECT_EQ(plugin->outChannel0, outL);
    EXPECT_EQ(plugin->inChannels, 2);
}

TEST_F(VST2WrapperTest, TheFrameworkServicesLiveFromTheFirstAdapterToTheLast)
{
    ASSERT_EQ(getNumVST2Adapters(), 0);
    ASSERT_EQ(getFrameworkInitialiser(), nullptr);

    AEffect* first = createVST2Engine(TestHost::callback, makeInfo, makePlugin);
    ASSERT_NE(first, nullptr);
    FrameworkInitialiser* services = getFrameworkInitialiser();
    ASSERT_NE(services, nullptr);
    AEffect* second = createVST2Engine(TestHost::callback, makeInfo, makePlugin);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(getFrameworkInitialiser(), services) << "created once";
    EXPECT_EQ(getNumVST2Adapters(), 2);

    EXPECT_EQ(first->dispatcher(first, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(getFrameworkInitialiser(), services) << "kept while an adapter lives";
    EXPECT_EQ(second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(getFrameworkInitialiser(), nullptr) << "deleted after the last";
    EXPECT_EQ(getNumVST2Adapters(), 0);

    // Failures leave nothing behind.
    TestHost::get().version = 0;
    EXPECT_EQ(createVST2Engine(TestHost::callback, makeInfo, makePlugin), nullptr);
    TestHost::get().version = 2400;
    EXPECT_EQ(createVST2Engine(TestHost::callback, makeInfo, makeNothing), nullptr);
    EXPECT_EQ(createVST2Engine(nullptr, makeInfo, makePlugin), nullptr);
    EXPECT_EQ(getNumVST2Adapters(), 0);
    EXPECT_EQ(getFrameworkInitialiser(), nullptr);
}
