// The host callback as an effect sees it: every opcode's answer and the VSTHost operation it reaches.

#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tests/auwrapper/vsthost/RecordingHost.h"
#include "tests/auwrapper/vsthost/TestEffects.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using q9framework::VSTPlugIn;

namespace {

class HostCallback : public ::testing::Test {
protected:
    TestEffectLibrary library{"well_formed"};
    RecordingHost host;
    std::unique_ptr<VSTPlugIn> plugIn;

    void SetUp() override
    {
        ASSERT_TRUE(library.loaded());
        plugIn = std::make_unique<VSTPlugIn>(host, bundleFor(testEffectExecutable("well_formed")), 4096, 44100.0f);
        plugIn->open();
        host.calls.clear();
    }

    VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return VSTPlugIn::hostCallback(plugIn->getEffect(), opcode, index, value, ptr, opt);
    }
};

} // namespace

TEST_F(HostCallback, EveryOpcodeAnswersAsTheTableSays)
{
    char text[128] = {};
    const struct {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
        float opt;
        VstIntPtr answer;
        const char* hostCall;                 // the VSTHost operation reached, "" for none
        int32_t a, b;
    } cases[] = {
        {audioMasterAutomate, 3, 0, nullptr, 0.75f, 0, "automate", 3, 0},
        {audioMasterPinConnected, 1, 0, nullptr, 0, 0, "isPinConnected", 0, 1},   // connected: 0; value 0: an input
        {audioMasterVersion, 0, 0, nullptr, 0, 2300, "", 0, 0},
        {audioMasterCurrentId, 0, 0, nullptr, 0, 0x54657374, "", 0, 0},     // "Test"
        {audioMasterSizeWindow, 640, 480, nullptr, 0, 1, "sizeWindow", 640, 480},
        {audioMasterGetVendorString, 0, 0, text, 0, 1, "getVendorString", 0, 0},
        {audioMasterCanDo, 0, 0, const_cast<char*>("sizeWindow"), 0, 1, "canDo", 0, 0},
        {audioMasterCanDo, 0, 0, const_cast<char*>("sendVstMidiEventFlagIsRealtime"), 0, 0, "canDo", 0, 0},
        {1000, 0, 0, nullptr, 0, 0, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("opcode " + std::to_string(c.opcode));
        host.calls.clear();
        EXPECT_EQ(call(c.opcode, c.index, c.value, c.ptr, c.opt), c.answer);
        if (c.hostCall[0] == '\0') {
            EXPECT_TRUE(host.calls.empty()) << "reached " << host.calls.front().what;
            continue;
        }
        ASSERT_EQ(host.calls.size(), 1u);
        EXPECT_EQ(host.calls[0].what, c.hostCall);
        EXPECT_EQ(host.calls[0].a, c.a);
        EXPECT_EQ(host.calls[0].b, c.b);
        EXPECT_EQ(host.calls[0].plugIn, plugIn.get());
        EXPECT_EQ(host.calls[0].value, c.opt);
    }
    host.pinsConnected = false;
    EXPECT_EQ(call(audioMasterPinConnected, 0, 0), 1) << "an unconnected pin";
    EXPECT_EQ(call(audioMasterGetTime, 0, 0x3E00), reinterpret_cast<VstIntPtr>(&host.timeInfo));
    EXPECT_EQ(host.lastTimeFilter, 0x3E00);
}

TEST_F(HostCallback, AHostThatThrowsAnswersZero)
{
    host.throwOnIdle = true;
    EXPECT_EQ(call(audioMasterIdle), 0);
    EXPECT_EQ(call(audioMasterVersion), 2300) << "the callback keeps working afterwards";
}
