#pragma once
#include "framework/plugin/VST2EditorBase.h"

#include <memory>

namespace q9framework {

class Holder;

/** The VST 2 editor object with its window: on effEditOpen it asks the plug-in for its editor and
    shows it in a Holder window made inside the host's parent window (the X11 id the host passes in
    `ptr`); effEditClose destroys both; keys the host forwards go to the window.

    The adapter gets it through VST2Wrapper::setEditorFactory (installVST2EditorWindows does that), so
    the adapter itself never links the GUI toolkit.

    Threads: everything runs on the thread that opens the editor, which binds the main run loop (see
    VST2EditorBase). Owned by the adapter; owns its holder while open. */
class VST2Editor : public VST2EditorBase {
public:
    VST2Editor(AudioEffect* effect, AudioPlugin* plugin, AudioPluginEditorListener* listener, uint32_t editorFlags);
    /** Closes the window first. */
    ~VST2Editor() override;

    /** The open holder window, or null. */
    Holder* getHolder() const noexcept { return holder.get(); }

protected:
    /** 1. editor = the plug-in's createEditor (false when null); 2. the size = the editor's size;
        3. a Holder inside `parent` shows it at that size; 4. the adapter starts listening to the
        editor; 5. the plug-in hears editorOpened. False also when no native window could be made
        (no display, a parent that is gone): the editor is destroyed again. */
    bool openWindow(void* parent) override;
    /** Stops the adapter listening, destroys the holder's native window and the holder with the editor. */
    void closeWindow() override;
    bool sendKeyToWindow(int32_t code, bool isDown) override;

private:
    std::unique_ptr<Holder> holder;
};

/** Installs the factory that gives every VST 2 adapter made from now on a VST2Editor. Idempotent. */
void installVST2EditorWindows() noexcept;

} // namespace q9framework
