#pragma once
#include "framework/plugin/editor/AudioPluginEditor.h"

class KVAudioPlugin;
class MainComponent;

namespace q9framework {
class AdapterComponent;
}

/** Kelvane's editor: the fixed-artwork panel (MainComponent, designed on its 1500 x 350 background)
    shown scaled to the editor's size through an AdapterComponent that fills the editor.

    It opens at the plug-in's stored editor size (750 x 175 until the user resizes; saved with the
    state). Host changes reach the controls on the panel's ticks (see MainComponent); parametersChanged
    moves every control to the plug-in's values at once.

    Made by the plug-in's createEditor (through createKVAudioPluginEditor, installed as the effect's
    editor factory by the module's entry); owns the adapter, which owns the panel. GUI thread only. */
class KVAudioPluginEditor : public q9framework::AudioPluginEditor {
public:
    explicit KVAudioPluginEditor(KVAudioPlugin& plugin);
    ~KVAudioPluginEditor() override;

    /** The adapter takes the editor's size (its position stays). */
    void resized() override;
    /** The panel draws its meters and indicator through the window's rendering context. */
    void frameFinished() override;
    /** Moves all seven controls to the plug-in's values, quietly, except one under the user's hand. */
    void parametersChanged() override;

    MainComponent& getPanel() const noexcept { return *main; }
    q9framework::AdapterComponent& getAdapter() const noexcept { return *adapter; }
    KVAudioPlugin& getKVPlugin() const noexcept { return kvPlugin; }

private:
    KVAudioPlugin& kvPlugin;
    q9framework::AdapterComponent* adapter;   // child, owned by the tree
    MainComponent* main;                      // the adapter's content, owned by it
};

/** The effect's editor factory (KVAudioPlugin::setEditorFactory). */
q9framework::AudioPluginEditor* createKVAudioPluginEditor(KVAudioPlugin& plugin);
