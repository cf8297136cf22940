#pragma once

#include "framework/plugin/vst2/VST2Interface.h"

#include <array>
#include <cstdint>

namespace q9framework {

/** MIDI events waiting for the next audio block, in records allocated once, so queueing and
    sending never allocate. Filled by the host's MIDI calls, handed to the effect and emptied by
    VSTPlugIn::processBlock on the render thread. No lock: producer and consumer are the host's
    render-side calls, which the host serialises. */
class VSTMidiQueue {
public:
    static constexpr int capacity = 1024;

    VSTMidiQueue() noexcept;
    VSTMidiQueue(const VSTMidiQueue&) = delete;
    VSTMidiQueue& operator=(const VSTMidiQueue&) = delete;

    /** Queues a three-byte MIDI message at `sampleOffset` in the next block. False (nothing queued)
        when `capacity` events are already waiting: the caller reports its list-full status. */
    [[nodiscard]] bool add(uint8_t status, uint8_t data1, uint8_t data2, int32_t sampleOffset) noexcept;

    int count() const noexcept { return list.numEvents; }
    void clear() noexcept { list.numEvents = 0; }
    /** The pending events in the published VstEvents layout; valid while this queue lives. */
    VstEvents* events() noexcept { return reinterpret_cast<VstEvents*>(&list); }

private:
    // VstEvents declares two event pointers; hosts give the effect as many as they have, in the
    // same layout.
    struct EventList {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[capacity];
    };
    EventList list;
    std::array<VstMidiEvent, capacity> records;
};

} // namespace q9framework
