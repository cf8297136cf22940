#include "tools/kelvane/CommandLineHost.h"
#include "tools/kelvane/HostedPlugin.h"

#include <gtest/gtest.h>

using kelvane::CommandLineHost;

TEST(CommandLineHost, TransportPlaysFromZeroAt120BpmInFourFour)
{
    CommandLineHost host;
    q9framework::VSTPlugIn plugIn(host, q9framework::Bundle(), 512, 48000.0f);   // never opened: the answers do not need it
    host.prepare(48000.0, 1);
    host.advance(24000);
    host.advance(48000);
    const VstTimeInfo* time = host.getTimeInfo(plugIn, 0x3E00);
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->samplePos, 72000.0);
    EXPECT_EQ(time->sampleRate, 48000.0);
    EXPECT_DOUBLE_EQ(time->ppqPos, 3.0) << "1.5 s at 120 BPM";
    EXPECT_EQ(time->barStartPos, 0.0);
    host.advance(48000);
    EXPECT_EQ(host.getTimeInfo(plugIn, 0)->barStartPos, 4.0);
    EXPECT_EQ(time->flags & (kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid),
              kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid);

    EXPECT_TRUE(host.isPinConnected(plugIn, false, 0));
    EXPECT_FALSE(host.isPinConnected(plugIn, false, 1)) << "a mono file feeds one pin";
    EXPECT_TRUE(host.canDo(plugIn, "sendVstTimeInfo"));
    EXPECT_FALSE(host.canDo(plugIn, "sizeWindow")) << "no editor on the command line";
}
