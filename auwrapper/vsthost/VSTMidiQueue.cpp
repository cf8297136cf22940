#include "auwrapper/vsthost/VSTMidiQueue.h"

#include <cstring>

namespace q9framework {


VSTMidiQueue::VSTMidiQueue() noexcept
{
    std::memset(&list, 0, sizeof list);
    std::memset(records.data(), 0, sizeof(VstMidiEvent) * records.size());
    for (int i = 0; i < capacity; ++i)
        list.events[i] = reinterpret_cast<VstEvent*>(&records[static_cast<size_t>(i)]);
}

bool VSTMidiQueue::add(uint8_t status, uint8_t data1, uint8_t data2, int32_t sampleOffset) noexcept
{
    if (list.numEvents >= capacity)
        return false;
    VstMidiEvent& event = records[static_cast<size_t>(list.numEvents)];
    std::memset(&event, 0, sizeof event);
    event.type = kVstMidiType;
    event.byteSize = kVstMidiEventByteSize;   // effects in practice ignore it
    event.deltaFrames = sampleOffset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    ++list.numEvents;
    return true;
}

} // namespace q9framework
