#pragma once
#include "framework/plugin/AudioPlugin.h"

#include <array>
#include <cstdint>
#include <vector>

namespace q9framework {

/** Base of every bus: a named connection point of a plug-in. Buses are owned by their plug-in.
    Pulling data from other plug-ins' buses is not used by any host of this framework: pull does
    nothing here and buses carry no connections. */
class AudioPlugin::Bus {
public:
    Bus(AudioPlugin* ownerPlugin, const String& busName) : name(busName), owner(ownerPlugin) {}
    virtual ~Bus() = default;
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    /** Fetches numSamples of data from connected source buses; there are none, so nothing happens. */
    virtual void pull(int32_t numSamples);

    const String& getName() const noexcept { return name; }
    AudioPlugin* getOwner() const noexcept { return owner; }

private:
    String name;
    AudioPlugin* owner;
};

/** A bus of audio channels, one f32 buffer per channel.

    A bus that owns its buffers gets one 16-byte-aligned buffer of blockSize floats per channel from
    prepare and frees them when destroyed. After useExternalBuffers it owns none: the host adapter
    points the channels at the host's buffers before each block (setChannel, setNumChannels), which is
    done on the audio thread and therefore never allocates: the channel table has a fixed capacity. */
class AudioPlugin::AudioBus : public AudioPlugin::Bus {
public:
    /** The most channels a bus can carry; larger counts are clamped. */
    static constexpr int maxChannels = 32;

    AudioBus(AudioPlugin* ownerPlugin, const String& busName, int32_t channelCount);
    ~AudioBus() override;

    int32_t getNumChannels() const noexcept { return numChannels; }
    /** Clamped to [0, maxChannels]. Audio thread safe. */
    void setNumChannels(int32_t count) noexcept;
    /** Null when index is outside [0, numChannels) or nothing is attached. */
    float* getChannel(int32_t index) const noexcept;
    /** The channel table (numChannels entries are meaningful). */
    float* const* getChannels() const noexcept { return channels.data(); }
    /** Points a channel at a buffer the bus does not own; ignored when index is outside
        [0, maxChannels) or while the bus owns its buffers. Audio thread safe. */
    void setChannel(int32_t index, float* buffer) noexcept;

    bool ownsBuffers() const noexcept { return owning; }
    /** Frees owned buffers and stops owning; the channel table is emptied. */
    void useExternalBuffers() noexcept;

    /** Resets the channel table to null entries; when the bus owns its buffers, allocates a new zeroed
        buffer of blockSize floats per channel. Called by AudioPlugin::prepare. */
    void prepare(int32_t blockSize);
    /** Zeroes numSamples samples of every channel when the bus owns its buffers (external buffers
        belong to the host and are never touched). */
    void clear(int32_t numSamples) noexcept;

private:
    struct AlignedFree {
        void operator()(float* p) const noexcept;
    };

    int32_t numChannels = 0;
    std::array<float*, maxChannels> channels {};
    bool owning = true;
    std::vector<std::unique_ptr<float, AlignedFree>> ownedBuffers;
};

/** A bus of timed MIDI messages. Its list has a fixed capacity so that adding on the audio thread
    never allocates; messages beyond it are dropped. */
class AudioPlugin::EventBus : public AudioPlugin::Bus {
public:
    struct MidiMessage {
        uint8_t data[3];
        /** Frame within the block. */
        int32_t samplePosition;
    };

    static constexpr int capacity = 1024;

    EventBus(AudioPlugin* ownerPlugin, const String& busName);

    /** Appends a 3-byte message; false (and nothing stored) when the list is full. */
    bool addMidiMessage(const uint8_t data[3], int32_t samplePosition) noexcept;
    int32_t getNumEvents() const noexcept { return static_cast<int32_t>(events.size()); }
    /** Null when index is out of range. */
    const MidiMessage* getEvent(int32_t index) const noexcept;
    void clearEvents() noexcept { events.clear(); }

private:
    std::vector<MidiMessage> events;
};

/** A bus of automation values: parameter identifiers with their latest values. */
class AudioPlugin::AutomationBus : public AudioPlugin::Bus {
public:
    AutomationBus(AudioPlugin* ownerPlugin, const String& busName);

    /** Replaces the value of an identifier that is present, otherwise appends the pair. */
    void setValue(int32_t parameterId, double value);
    /** 0.0 for an absent identifier. */
    double getValue(int32_t parameterId) const noexcept;
    bool hasValue(int32_t parameterId) const noexcept;
    int32_t getNumValues() const noexcept { return static_cast<int32_t>(ids.size()); }
    void clear() noexcept;

private:
    std::vector<int32_t> ids;
    std::vector<double> values;
};

} // namespace q9framework
