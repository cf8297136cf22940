#include "framework/plugin/AudioPlugin.h"

#include <algorithm>

namespace q9framework {

namespace {

template <typename T>
T* elementOrNull(const std::vector<std::unique_ptr<T>>& list, int index) noexcept
{
    return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<size_t>(index)].get()
                                                                : nullptr;
}

template <typename T>
void appendOnce(std::vector<T*>& list, T* item)
{
    if (item != nullptr && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

template <typename T>
void removeKeepingOrder(std::vector<T*>& list, T* item)
{
    const auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

} // namespace

void AudioPlugin::Listener::pluginChanged(int32_t) {}
void AudioPlugin::Listener::parameterGestureBegan(AudioPlugin*, int32_t) {}
void AudioPlugin::Listener::parameterChanged(AudioPlugin*, int32_t, float) {}
void AudioPlugin::Listener::parameterGestureEnded(AudioPlugin*, int32_t) {}

AudioPlugin::AudioPlugin() = default;

// Buses go before the lock; nothing may still be processing when a plug-in is destroyed.
AudioPlugin::~AudioPlugin() = default;

AudioPluginEditor* AudioPlugin::createEditor() { return nullptr; }
void AudioPlugin::editorOpened(AudioPluginEditor*) {}
int32_t AudioPlugin::getNumParameters() { return 0; }
double AudioPlugin::getParameter(int32_t) { return 0.0; }
String AudioPlugin::getParameterText(int32_t, double) { return String(); }
String AudioPlugin::getParameterName(int32_t) { return String(); }
void AudioPlugin::suspend() {}
void AudioPlugin::resume() {}
bool AudioPlugin::supportsDoublePrecision() { return false; }
int32_t AudioPlugin::getLatency() { return 0; }
bool AudioPlugin::setupStereo() { return false; }
bool AudioPlugin::setupMono() { return false; }
intptr_t AudioPlugin::vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }

void AudioPlugin::prepare(int32_t newBlockSize, bool clearBuffers, double)
{
    for (auto& bus : inputBuses)
        bus->prepare(newBlockSize);
    for (auto& bus : outputBuses)
        bus->prepare(newBlockSize);

    blockSize = newBlockSize;

    if (!clearBuffers)
        return;
    for (auto& bus : outputBuses)
        bus->clear(newBlockSize);
    for (auto& bus : outputEventBuses)
        bus->clearEvents();
    for (auto& bus : inputBuses)
        bus->clear(newBlockSize);
    for (auto& bus : inputEventBuses)
        bus->clearEvents();
}

void AudioPlugin::useExternalBuffers()
{
    for (auto& bus : inputBuses)
        bus->useExternalBuffers();
    for (auto& bus : outputBuses)
        bus->useExternalBuffers();
}

void AudioPlugin::addListener(Listener* listener) { appendOnce(listeners, listener); }
void AudioPlugin::removeListener(Listener* listener) { removeKeepingOrder(listeners, listener); }

void AudioPlugin::sendPluginChanged(int32_t code)
{
    for (auto* l : listeners)
        l->pluginChanged(code);
}

void AudioPlugin::sendParameterGestureBegan(int32_t index)
{
    for (auto* l : listeners)
        l->parameterGestureBegan(this, index);
}

void AudioPlugin::sendParameterChanged(int32_t index, float value)
{
    for (auto* l : listeners)
        l->parameterChanged(this, index, value);
}

void AudioPlugin::sendParameterGestureEnded(int32_t index)
{
    for (auto* l : listeners)
        l->parameterGestureEnded(this, index);
}

// Under the processing lock: process reads the editor count (to meter only while one is attached) on
// the audio thread, while editors come and go on the GUI thread.
void AudioPlugin::addEditor(AudioPluginEditor* editor)
{
    const ScopedLock hold(processingLock);
    appendOnce(editors, editor);
}

void AudioPlugin::removeEditor(AudioPluginEditor* editor)
{
    const ScopedLock hold(processingLock);
    removeKeepingOrder(editors, editor);
}

AudioPluginEditor* AudioPlugin::getEditor(int index) const noexcept
{
    return index >= 0 && index < static_cast<int>(editors.size()) ? editors[static_cast<size_t>(index)]
                                                                   : nullptr;
}

AudioPlugin::AudioBus* AudioPlugin::getInputBus(int index) const noexcept { return elementOrNull(inputBuses, index); }
AudioPlugin::AudioBus* AudioPlugin::getOutputBus(int index) const noexcept { return elementOrNull(outputBuses, index); }
AudioPlugin::EventBus* AudioPlugin::getInputEventBus(int index) const noexcept { return elementOrNull(inputEventBuses, index); }
AudioPlugin::EventBus* AudioPlugin::getOutputEventBus(int index) const noexcept { return elementOrNull(outputEventBuses, index); }
AudioPlugin::AutomationBus* AudioPlugin::getInputAutomationBus(int index) const noexcept
{
    return elementOrNull(inputAutomationBuses, index);
}
AudioPlugin::AutomationBus* AudioPlugin::getOutputAutomationBus(int index) const noexcept
{
    return elementOrNull(outputAutomationBuses, index);
}

void AudioPlugin::addInputBus(AudioBus* bus) { if (bus != nullptr) inputBuses.emplace_back(bus); }
void AudioPlugin::addOutputBus(AudioBus* bus) { if (bus != nullptr) outputBuses.emplace_back(bus); }
void AudioPlugin::addInputEventBus(EventBus* bus) { if (bus != nullptr) inputEventBuses.emplace_back(bus); }
void AudioPlugin::addOutputEventBus(EventBus* bus) { if (bus != nullptr) outputEventBuses.emplace_back(bus); }
void AudioPlugin::addInputAutomationBus(AutomationBus* bus) { if (bus != nullptr) inputAutomationBuses.emplace_back(bus); }
void AudioPlugin::addOutputAutomationBus(AutomationBus* bus) { if (bus != nullptr) outputAutomationBuses.emplace_back(bus); }

void AudioPlugin::deleteInputBuses() { inputBuses.clear(); }
void AudioPlugin::deleteOutputBuses() { outputBuses.clear(); }

void AudioPlugin::deleteEventBuses()
{
    inputEventBuses.clear();
    outputEventBuses.clear();
}

void AudioPlugin::deleteAutomationBuses()
{
    inputAutomationBuses.clear();
    outputAutomationBuses.clear();
}

} // namespace q9framework
