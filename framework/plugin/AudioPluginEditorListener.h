#pragma once
#include <cstdint>

namespace q9framework {

class AudioPluginEditor;

/** What a plug-in's editor reports about the user (AudioPluginEditor::Listener): the VST 2 adapter
    turns the gestures into the host's begin-edit, automate and end-edit calls, the editor's holder
    window turns a size request into a resize of the host's window.

    Declared apart from AudioPluginEditor, which is a GUI component, so the adapter can listen without
    linking the toolkit. All operations default to nothing. Called on the editor's (GUI) thread. */
class AudioPluginEditorListener {
public:
    virtual ~AudioPluginEditorListener() = default;
    /** The editor asks for a new size (after a resize drag). */
    virtual void editorSizeChanged(int32_t width, int32_t height) { (void)width, (void)height; }
    /** The user starts changing parameter `index`. */
    virtual void parameterGestureBegan(AudioPluginEditor* editor, int32_t index) { (void)editor, (void)index; }
    /** The user set a new normalised value. */
    virtual void parameterChanged(AudioPluginEditor* editor, int32_t index, double value)
    {
        (void)editor, (void)index, (void)value;
    }
    /** The user stops changing it. */
    virtual void parameterGestureEnded(AudioPluginEditor* editor, int32_t index) { (void)editor, (void)index; }
};

} // namespace q9framework
