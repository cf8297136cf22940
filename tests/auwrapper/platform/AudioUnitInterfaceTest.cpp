// The interface header's layouts are pinned by its own static_asserts; compiling this file checks them
// in a test build too. What is tested here is the four-character codes as presets store them.

#include "auwrapper/platform/AudioUnitInterface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// The wrapper writes its code with the value layer's names in scope; the published scalar names must
// not become ambiguous with it.
using namespace q9framework::cf;
static_assert(sizeof(Boolean) == 1 && sizeof(CFIndex) == 8, "no ambiguity with the value layer's scalars");

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
