#pragma once
#include "framework/gui/Component.h"
#include "framework/plugin/AudioPluginEditorListener.h"

#include <cstdint>
#include <vector>

namespace q9framework {

class AudioPlugin;

/** The base of every plug-in editor: a component that knows its plug-in and reports the user's
    parameter gestures and size requests to its listeners (the VST 2 adapter, the holder window).

    A plug-in's controls call beginParameterGesture when the user takes hold of a control,
    sendParameterChanged for every new value and endParameterGesture when the user lets go; the
    adapter turns those into audioMasterBeginEdit, audioMasterAutomate and audioMasterEndEdit.

    Life: made by the plug-in's createEditor when the host opens its editor, attached to the plug-in
    (AudioPlugin::addEditor) from construction to destruction, shown as the root of the holder window
    and destroyed with it on close. Main (GUI) thread only. */
class AudioPluginEditor : public Component {
public:
    using Listener = AudioPluginEditorListener;

    /** Attaches the editor to the plug-in (which may be null for tests of an editor alone). */
    explicit AudioPluginEditor(AudioPlugin* plugin);
    /** Detaches it again. */
    ~AudioPluginEditor() override;

    /** A hook kept for editors that answer whether they may be shown; true. */
    virtual bool canBeShown() { return true; }
    /** Moves every control to the plug-in's current values without notifying anyone. Nothing here. */
    virtual void parametersChanged();

    /** Appends when not yet present. Not owned. */
    void addListener(Listener* listener);
    /** Removes it, keeping the order of the others; unknown listeners are ignored. */
    void removeListener(Listener* listener);
    int getNumListeners() const noexcept { return static_cast<int>(listeners.size()); }

    /** With notify, every listener hears editorSizeChanged(width, height), in order. */
    void sendSizeChanged(int32_t width, int32_t height, bool notify);
    void beginParameterGesture(int32_t index);
    void sendParameterChanged(int32_t index, double value);
    void endParameterGesture(int32_t index);

    AudioPlugin* getPlugin() const noexcept { return plugin; }

private:
    AudioPlugin* plugin;
    std::vector<Listener*> listeners;
};

} // namespace q9framework
