#pragma once
#include "framework/plugin/AEffEditor.h"

#include <cstdint>
#include <vector>

namespace q9framework {

class AudioPlugin;
class AudioPluginEditorListener;

/** The editor object the VST 2 adapter installs, without its window: it answers the host's editor
    opcodes (effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown, effEditKeyUp) and
    keeps what does not need the GUI toolkit: the size reported to the host, the keys held through the
    host and their translation, and the idle that pumps the main run loop.

    The window that shows the plug-in's editor inside the host's parent comes from a derived class
    (VST2Editor in framework/plugin/editor, which links the toolkit), through openWindow, closeWindow and
    sendKeyToWindow. This base has none: open keeps the parent and answers false, keys are not used.
    The adapter makes its editor object through VST2Wrapper::setEditorFactory, so a module without a GUI
    gets this base.

    Threads: Linux hosts send the editor opcodes from a thread of their choice (Ardour: its own X11
    thread, not the one that created the instance), one thread at a time. open binds the main run loop
    to the calling thread, and idle pumps it there, so the window, its GL context and the X connection
    all live on the thread the host opens the editor from. idle and close without an open editor are
    harmless (hosts send them even after open failed).

    Owned by the adapter (AudioEffect::setEditor); borrows the effect, the plug-in and the listener,
    which outlive it. Nothing throws; a null out-pointer for getRect answers false. */
class VST2EditorBase : public AEffEditor {
public:
    /** listener: where the editor's parameter gestures go (the adapter). editorFlags: the plug-in's
        window style flags (PluginInfo::editorFlags), read once because they are fixed for a plug-in. */
    VST2EditorBase(AudioEffect* effect, AudioPlugin* plugin, AudioPluginEditorListener* listener,
                   uint32_t editorFlags);
    /** Derived classes close their window in their own destructor. */
    ~VST2EditorBase() override;

    /** top 0, left 0, bottom = height, right = width of the last opened (or resized) editor; 1000 x 1000
        before the first open. */
    bool getRect(ERect** rect) override;
    /** Keeps parent (the host's X11 Window id), binds the main run loop to this thread and opens the
        window (openWindow); false when no editor could be shown (the parent is kept all the same). */
    bool open(void* parent) override;
    /** Forgets the parent and closes the window, if any. Closing while closed does nothing. */
    void close() override;
    /** A Linux host gives a plug-in no run loop of its own: its periodic effEditIdle (about every 50 ms
        in common hosts) is what drives the toolkit's timers, callbacks and window events. */
    void idle() override;
    /** True when the editor used the key. A second key-down of a held key, a key-up of a key that is
        not held, and keys without a framework code answer false. */
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    /** The published hooks this framework does not use: nothing, 0. */
    bool onWheel(float) override { return false; }
    bool setKnobMode(int32_t) override { return false; }

    /** Whether a framework key code is pressed through the host (capitals when shift was held). */
    bool isKeyHeld(int32_t code) const noexcept;

    int32_t getWidth() const noexcept { return width; }
    int32_t getHeight() const noexcept { return height; }
    /** The size the next effEditGetRect reports (the holder sets it when the editor opens or resizes). */
    void setSize(int32_t newWidth, int32_t newHeight) noexcept
    {
        width = newWidth;
        height = newHeight;
    }
    uint32_t getEditorFlags() const noexcept { return editorFlags; }
    AudioPlugin* getPlugin() const noexcept { return plugin; }
    AudioPluginEditorListener* getListener() const noexcept { return listener; }

    /** The framework key code for a host key, or 0 when it has none: character 189 is the minus sign,
        then the virtual-key table, then 'a'..'z' and '0'..'9' as themselves. Shift is not applied here. */
    static int32_t keyCodeFromVstKey(const VstKeyCode& key) noexcept;
    /** The framework's code for the shift key, as held through the host. */
    static constexpr int32_t shiftKeyCode = 0x10000007;

protected:
    /** Shows the plug-in's editor in a window inside `parent`; false when there is none to show. */
    virtual bool openWindow(void* parent);
    /** Destroys the window and the editor; nothing when there is none. */
    virtual void closeWindow();
    /** The window's answer to a key (hardware code 0); false without a window. */
    virtual bool sendKeyToWindow(int32_t code, bool isDown);

private:
    /** The translated code with shift applied, or 0. */
    int32_t translate(const VstKeyCode& key) const noexcept;

    AudioPlugin* plugin;
    AudioPluginEditorListener* listener;
    uint32_t editorFlags;
    int32_t width = 1000;
    int32_t height = 1000;
    std::vector<int32_t> heldKeys;
    ERect rect {};
};

} // namespace q9framework
