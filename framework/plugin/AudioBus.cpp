#include "framework/plugin/AudioBus.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace q9framework {

void AudioPlugin::Bus::pull(int32_t) {}

// ---- AudioBus ------------------------------------------------------------------------------------

void AudioPlugin::AudioBus::AlignedFree::operator()(float* p) const noexcept { std::free(p); }

AudioPlugin::AudioBus::AudioBus(AudioPlugin* ownerPlugin, const String& busName, int32_t channelCount)
    : Bus(ownerPlugin, busName)
{
    setNumChannels(channelCount);
}

AudioPlugin::AudioBus::~AudioBus() = default;

void AudioPlugin::AudioBus::setNumChannels(int32_t count) noexcept
{
    numChannels = std::clamp(count, 0, static_cast<int32_t>(maxChannels));
}

float* AudioPlugin::AudioBus::getChannel(int32_t index) const noexcept
{
    return index >= 0 && index < numChannels ? channels[static_cast<size_t>(index)] : nullptr;
}

void AudioPlugin::AudioBus::setChannel(int32_t index, float* buffer) noexcept
{
    if (!owning && index >= 0 && index < maxChannels)
        channels[static_cast<size_t>(index)] = buffer;
}

void AudioPlugin::AudioBus::useExternalBuffers() noexcept
{
    owning = false;
    ownedBuffers.clear();
    channels.fill(nullptr);
}

void AudioPlugin::AudioBus::prepare(int32_t blockSize)
{
    channels.fill(nullptr);
    ownedBuffers.clear();
    if (!owning)
        return;

    // aligned_alloc wants a size that is a multiple of the alignment; a 0-sample block still gets a
    // buffer, so a prepared channel is never null.
    const size_t bytes = static_cast<size_t>(std::max(blockSize, 0)) * sizeof(float);
    const size_t rounded = std::max<size_t>(16, (bytes + 15) / 16 * 16);
    for (int32_t c = 0; c < numChannels; ++c) {
        auto* buffer = static_cast<float*>(std::aligned_alloc(16, rounded));
        if (buffer == nullptr)
            break;
        std::memset(buffer, 0, rounded);
        ownedBuffers.emplace_back(buffer);
        channels[static_cast<size_t>(c)] = buffer;
    }
}

void AudioPlugin::AudioBus::clear(int32_t numSamples) noexcept
{
    if (!owning || numSamples < 1)
        return;
    for (int32_t c = 0; c < numChannels; ++c)
        if (channels[static_cast<size_t>(c)] != nullptr)
            std::memset(channels[static_cast<size_t>(c)], 0, static_cast<size_t>(numSamples) * sizeof(float));
}

// ---- EventBus ------------------------------------------------------------------------------------

AudioPlugin::EventBus::EventBus(AudioPlugin* ownerPlugin, const String& busName) : Bus(ownerPlugin, busName)
{
    events.reserve(capacity);
}

bool AudioPlugin::EventBus::addMidiMessage(const uint8_t data[3], int32_t samplePosition) noexcept
{
    if (events.size() >= static_cast<size_t>(capacity))
        return false;
    events.push_back(MidiMessage {{data[0], data[1], data[2]}, samplePosition});
    return true;
}

const AudioPlugin::EventBus::MidiMessage* AudioPlugin::EventBus::getEvent(int32_t index) const noexcept
{
    return index >= 0 && index < getNumEvents() ? &events[static_cast<size_t>(index)] : nullptr;
}

// ---- AutomationBus -------------------------------------------------------------------------------

AudioPlugin::AutomationBus::AutomationBus(AudioPlugin* ownerPlugin, const String& busName)
    : Bus(ownerPlugin, busName)
{
}

void AudioPlugin::AutomationBus::setValue(int32_t parameterId, double value)
{
    const auto it = std::find(ids.begin(), ids.end(), parameterId);
    if (it != ids.end()) {
        values[static_cast<size_t>(it - ids.begin())] = value;
        return;
    }
    ids.push_back(parameterId);
    values.push_back(value);
}

double AudioPlugin::AutomationBus::getValue(int32_t parameterId) const noexcept
{
    const auto it = std::find(ids.begin(), ids.end(), parameterId);
    return it != ids.end() ? values[static_cast<size_t>(it - ids.begin())] : 0.0;
}

bool AudioPlugin::AutomationBus::hasValue(int32_t parameterId) const noexcept
{
    return std::find(ids.begin(), ids.end(), parameterId) != ids.end();
}

void AudioPlugin::AutomationBus::clear() noexcept
{
    ids.clear();
    values.clear();
}

} // namespace q9framework
