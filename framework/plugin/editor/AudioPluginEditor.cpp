#include "framework/plugin/editor/AudioPluginEditor.h"

#include "framework/plugin/AudioPlugin.h"

#include <algorithm>

namespace q9framework {

AudioPluginEditor::AudioPluginEditor(AudioPlugin* editedPlugin) : plugin(editedPlugin)
{
    if (plugin != nullptr)
        plugin->addEditor(this);
}

AudioPluginEditor::~AudioPluginEditor()
{
    if (plugin != nullptr)
        plugin->removeEditor(this);
}

void AudioPluginEditor::parametersChanged() {}

void AudioPluginEditor::addListener(Listener* listener)
{
    if (listener != nullptr && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void AudioPluginEditor::removeListener(Listener* listener)
{
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

// Listeners are copied before each notification: one may remove itself (a holder closing) meanwhile.

void AudioPluginEditor::sendSizeChanged(int32_t width, int32_t height, bool notify)
{
    if (!notify)
        return;
    const std::vector<Listener*> current = listeners;
    for (Listener* l : current)
        l->editorSizeChanged(width, height);
}

void AudioPluginEditor::beginParameterGesture(int32_t index)
{
    const std::vector<Listener*> current = listeners;
    for (Listener* l : current)
        l->parameterGestureBegan(this, index);
}

void AudioPluginEditor::sendParameterChanged(int32_t index, double value)
{
    const std::vector<Listener*> current = listeners;
    for (Listener* l : current)
        l->parameterChanged(this, index, value);
}

void AudioPluginEditor::endParameterGesture(int32_t index)
{
    const std::vector<Listener*> current = listeners;
    for (Listener* l : current)
        l->parameterGestureEnded(this, index);
}

} // namespace q9framework
