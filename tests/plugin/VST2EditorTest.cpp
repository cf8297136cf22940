#include "framework/plugin/VST2EditorBase.h"
#include "framework/core/Clock.h"
#include "framework/core/MessageLoop.h"

#include <gtest/gtest.h>

using namespace q9framework;

namespace {

VstKeyCode key(VstInt32 character, unsigned char virt = 0)
{
    VstKeyCode code {};
    code.character = character;
    code.virt = virt;
    return code;
}

} // namespace

TEST(VST2EditorTest, HostKeysTranslateToFrameworkKeyCodes)
{
    const struct {
        VstKeyCode key;
        int32_t expected;
        const char* what;
    } cases[] = {
        {key(189, VKEY_LEFT), '-', "the Windows minus key wins over the virtual key"},
        {key(0, VKEY_ENTER), 13, "keypad enter is return"},
        {key(0, VKEY_ALT), 0x10000006, "alt is option"},
        {key('q', VKEY_SPACE), 32, "the virtual key wins over the character"},
        {key('z'), 'z', "letter"},
        {key('A'), 0, "capitals come only from shift"},
        {key(0, VKEY_ESCAPE), 0, "escape is not handled"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VST2EditorBase::keyCodeFromVstKey(c.key), c.expected);
    }
}

TEST(VST2EditorTest, HeldKeysAreTrackedAndRepeatsAreIgnored)
{
    VST2EditorBase editor(nullptr, nullptr, nullptr, 264);
    VstKeyCode a = key('a');
    VstKeyCode shift = key(0, VKEY_SHIFT);
    VstKeyCode dot = key('.');

    // The base has no window to take keys, so every answer is false; what counts is which keys are held.
    EXPECT_FALSE(editor.onKeyUp(a)) << "a key that is not held";
    editor.onKeyDown(shift);
    EXPECT_TRUE(editor.isKeyHeld(VST2EditorBase::shiftKeyCode));
    editor.onKeyDown(a);
    EXPECT_TRUE(editor.isKeyHeld('A')) << "shift makes a capital";
    EXPECT_FALSE(editor.isKeyHeld('a'));
    editor.onKeyDown(a);   // auto-repeat: no second entry
    editor.onKeyUp(a);
    EXPECT_FALSE(editor.isKeyHeld('A')) << "one key-up releases a repeated key";
    editor.onKeyDown(dot);
    EXPECT_FALSE(editor.isKeyHeld('.')) << "keys without a code are not held";
    editor.onKeyUp(shift);
    EXPECT_FALSE(editor.isKeyHeld(VST2EditorBase::shiftKeyCode));
    editor.onKeyDown(a);
    EXPECT_TRUE(editor.isKeyHeld('a')) << "without shift the letter stays lower case";
    EXPECT_EQ(editor.getEditorFlags(), 264u);
}
