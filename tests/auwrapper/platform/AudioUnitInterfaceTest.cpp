// The interface header's layouts are pinned by its own static_asserts; compiling this file checks them
// in a test build too. What is tested here is how the records are used across the entry: the
// argument slots of a component call, and the four-character codes as presets store them.

#include "auwrapper/platform/AudioUnitInterface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// The wrapper writes its code with the value layer's names in scope; the published scalar names must
// not become ambiguous with it.
using namespace q9framework::cf;
static_assert(sizeof(Boolean) == 1 && sizeof(CFIndex) == 8, "no ambiguity with the value layer's scalars");

namespace {

// A parameter block as a host builds it: the instance in slot 0, the arguments after it.
std::vector<long> parameterBlock(SInt16 what, std::initializer_list<long> slots)
{
    std::vector<long> block(1 + slots.size());
    auto* header = reinterpret_cast<ComponentParameters*>(block.data());
    header->flags = 0;
    header->paramSize = static_cast<UInt8>(slots.size() * sizeof(long));
    header->what = what;
    std::memcpy(header->params, slots.begin(), slots.size() * sizeof(long));
    return block;
}

} // namespace

TEST(AudioUnitInterface, ArgumentsOfAComponentCallStandOneToASlotAfterTheInstance)
{
    ComponentInstanceRecord record {};
    UInt32 size = 40;
    AudioStreamBasicDescription format {};
    auto block = parameterBlock(kAudioUnitGetPropertySelect,
                                {reinterpret_cast<long>(&record), kAudioUnitProperty_StreamFormat,
                                 kAudioUnitScope_Output, 0, reinterpret_cast<long>(&format), reinterpret_cast<long>(&size)});
    const auto* params = reinterpret_cast<const ComponentParameters*>(block.data());
    EXPECT_EQ(params->what, 4);
    EXPECT_EQ(params->paramSize, 48);
    EXPECT_EQ(reinterpret_cast<AudioUnit>(params->params[0]), &record);
    EXPECT_EQ(static_cast<AudioUnitPropertyID>(params->params[1]), kAudioUnitProperty_StreamFormat);
    EXPECT_EQ(static_cast<AudioUnitScope>(params->params[2]), kAudioUnitScope_Output);
    EXPECT_EQ(reinterpret_cast<UInt32*>(params->params[5]), &size);
}

TEST(AudioUnitInterface, FourCharacterCodesReadBigEndianAndPrintSignedInPresets)
{
    const struct {
        const char* code;
        int32_t asPresetInteger;
    } cases[] = {{"aufx", 1635083896}, {"aumu", 1635085685}, {"appl", 1634758764}, {"KvLn", 1266044014},
                 {"\x80" "ABC", -2143206845}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        char code[5];
        std::memcpy(code, c.code, 5);
        EXPECT_EQ(static_cast<int32_t>(fourCharCode(code)), c.asPresetInteger);
    }
    EXPECT_EQ(kAudioUnitType_Effect, fourCharCode("aufx"));
    EXPECT_EQ(badComponentSelector, -2147450878);
    EXPECT_EQ(badComponentInstance, -2147450879);
}
