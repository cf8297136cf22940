#pragma once
#include "framework/plugin/AEffEditor.h"

#include <cstdint>
#include <vector>

namespace q9framework {

class AudioPlugin;

/** The published editor hooks this framework does not use (wheel, knob mode): they do nothing and
    answer 0, so a host that sends them gets the answer of an editor without them. */
class VST2EditorBase : public AEffEditor {
public:
    using AEffEditor::AEffEditor;
    bool onWheel(float) override { return false; }
    bool setKnobMode(int32_t) override { return false; }
};

/** The editor object the VST 2 adapter installs: it answers the host's editor opcodes for a plug-in
    (effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown, effEditKeyUp).

    Opening shows the plug-in's editor (AudioPlugin::createEditor) in a window inside the host's
    parent window. The framework's window toolkit that holds it is not part of the build yet, so open
    always answers false and the size stays at its initial 1000 x 1000; everything else (the
    rectangle, closing, the key translation with held keys) behaves as it will with a window.

    Owned by the adapter (through AudioEffect::setEditor); borrows the effect and the plug-in, which
    outlive it. Hosts call it from a thread of their choice (Ardour: its own X11 thread); one thread at a
    time. Nothing throws; a null out-pointer for getRect answers false. */
class VST2Editor : public VST2EditorBase {
public:
    /** editorFlags: the plug-in's window style flags (PluginInfo::editorFlags), read once here because
        they are fixed for a plug-in. */
    VST2Editor(AudioEffect* effect, AudioPlugin* plugin, uint32_t editorFlags);
    ~VST2Editor() override;

    /** top 0, left 0, bottom = height, right = width of the last opened editor (1000 x 1000 before). */
    bool getRect(ERect** rect) override;
    /** Keeps parent (the host's X11 Window id) and asks the plug-in for its editor; false when there is
        no editor to show. */
    bool open(void* parent) override;
    /** Forgets the parent and destroys the editor window, if any. Closing while closed does nothing. */
    void close() override;
    /** A Linux host gives a plug-in no run loop of its own: its periodic effEditIdle (about every 50 ms
        in common hosts) is what drives the toolkit's timers, callbacks and window events. */
    void idle() override;
    /** True when the editor used the key. A second key-down of a held key, a key-up of a key that is
        not held, and keys without a framework code answer false. */
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;

    /** Whether a framework key code is pressed through the host (capitals when shift was held). */
    bool isKeyHeld(int32_t code) const noexcept;

    int32_t getWidth() const noexcept { return width; }
    int32_t getHeight() const noexcept { return height; }
    uint32_t getEditorFlags() const noexcept { return editorFlags; }

    /** The framework key code for a host key, or 0 when it has none: character 189 is the minus sign,
        then the virtual-key table, then 'a'..'z' and '0'..'9' as themselves. Shift is not applied here. */
    static int32_t keyCodeFromVstKey(const VstKeyCode& key) noexcept;
    /** The framework's code for the shift key, as held through the host. */
    static constexpr int32_t shiftKeyCode = 0x10000007;

private:
    /** The translated code with shift applied, or 0. */
    int32_t translate(const VstKeyCode& key) const noexcept;
    /** The editor window's answer to a key; there is no window yet, so nothing takes keys. */
    bool sendKeyToWindow(int32_t code, bool isDown);

    AudioPlugin* plugin;
    uint32_t editorFlags;
    int32_t width = 1000;
    int32_t height = 1000;
    std::vector<int32_t> heldKeys;
    ERect rect {};
};

} // namespace q9framework
