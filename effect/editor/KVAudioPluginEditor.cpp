#include "effect/editor/KVAudioPluginEditor.h"

#include "effect/KVAudioPlugin.h"
#include "effect/editor/MainComponent.h"
#include "framework/gui/AdapterComponent.h"

using namespace q9framework;

namespace {

// Larger than any screen and more than X11 windows take: a saved size beyond it (or not positive) is
// no size the editor can open at, and the default is used instead.
constexpr int32_t largestEditorSide = 16383;

} // namespace

KVAudioPluginEditor::KVAudioPluginEditor(KVAudioPlugin& effect)
    : AudioPluginEditor(&effect), kvPlugin(effect), adapter(new AdapterComponent())
{
    addAndMakeVisible(adapter);
    main = new MainComponent(adapter, effect, this);
    adapter->setContent(main);
    int32_t width = effect.getEditorWidth();
    int32_t height = effect.getEditorHeight();
    if (width < 1 || height < 1 || width > largestEditorSide || height > largestEditorSide) {
        width = 750;
        height = 175;
    }
    setSize(width, height);
}

KVAudioPluginEditor::~KVAudioPluginEditor() = default;

void KVAudioPluginEditor::resized()
{
    adapter->setSize(getWidth(), getHeight());
}

void KVAudioPluginEditor::frameFinished()
{
    main->frameFinished();
}

void KVAudioPluginEditor::parametersChanged()
{
    main->refreshControls(-1);
}

AudioPluginEditor* createKVAudioPluginEditor(KVAudioPlugin& plugin)
{
    return new KVAudioPluginEditor(plugin);
}
