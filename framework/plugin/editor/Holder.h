#pragma once
#include "framework/gui/ComponentsWindow.h"
#include "framework/plugin/AudioPluginEditorListener.h"
#include "framework/core/Timer.h"

namespace q9framework {

class AudioPlugin;
class AudioPluginEditor;
class VST2EditorBase;

/** The window that shows a plug-in's editor inside the host's window: an embedded ComponentsWindow
    (a child of the host's parent) whose root is the editor, sized to it.

    It also hears the editor's size requests (editorSizeChanged) and resizes: the size reported by the
    next effEditGetRect, the host's window (audioMasterSizeWindow; when the host refuses, the parent
    window directly) and this window with its content.

    Owns the editor (through the window's container). Main (GUI) thread only. */
class Holder : public ComponentsWindow, public AudioPluginEditorListener, public Timer {
public:
    /** A window of the editor's size with style flags editorFlags | pluginEditorFlag, inside parent;
        the editor becomes its visible root and the holder listens to it. Check hasNative(). */
    Holder(VST2EditorBase* vst2Editor, AudioPlugin* plugin, void* parent, AudioPluginEditor* editor,
           uint32_t editorFlags);
    /** Stops listening to the editor; the window goes with its tree. */
    ~Holder() override;

    /** The resize: nothing when the window already has this size; otherwise the size reported to the
        host, the host's window, this window and the editor follow. */
    void setSize(int32_t width, int32_t height);
    void editorSizeChanged(int32_t width, int32_t height) override;

    AudioPluginEditor* getEditor() const noexcept { return editor; }

    /** Does nothing: the editor's own work runs on the window's frame ticks. */
    void timerCallback() override {}

private:
    VST2EditorBase* vst2Editor;
    AudioPlugin* plugin;
    AudioPluginEditor* editor;
};

} // namespace q9framework
