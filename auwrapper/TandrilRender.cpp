// The render path of TandrilComponent: render notifications, pulling input from the host, one block of
// the effect, and handing the output back. Runs on the host's render thread: nothing here allocates,
// locks or calls the system; buffer lists and pointer tables live on the stack or in the component.

#include "auwrapper/TandrilComponent.h"

#include <cmath>
#include <cstring>

namespace q9framework {

namespace {

/** An AudioBufferList with room for one buffer per channel of the widest bus. */
struct BusBufferList {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[TandrilComponent::maxChannels];
};
static_assert(offsetof(BusBufferList, mBuffers) == offsetof(AudioBufferList, mBuffers), "same layout as the host's list");

} // namespace

void TandrilComponent::callRenderNotifications(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                               UInt32 bus, UInt32 frames, AudioBufferList* data)
{
    for (int i = renderNotifyCount - 1; i >= 0; --i)
        renderNotify[i].proc(renderNotify[i].refCon, flags, timeStamp, bus, frames, data);
}

void TandrilComponent::render(AudioUnitRenderActionFlags* ioFlags, const AudioTimeStamp* timeStamp, UInt32 bus,
                              UInt32 frames, AudioBufferList* ioData)
{
    if (timeStamp == nullptr || ioData == nullptr || bus >= static_cast<UInt32>(outputBusCount) || frames > maxFramesPerSlice)
        throw MacOSException(paramErr);

    AudioUnitRenderActionFlags flags = (ioFlags != nullptr ? *ioFlags : 0) | kAudioUnitRenderAction_PreRender;
    callRenderNotifications(&flags, timeStamp, bus, frames, ioData);
    flags &= ~kAudioUnitRenderAction_PreRender;

    // Another output bus asking for the same moment gets this block's output, not a second block.
    const Float64 sampleTime = timeStamp->mSampleTime;
    if (sampleTime != lastRenderSampleTime || std::isnan(sampleTime) || std::isnan(lastRenderSampleTime)) {
        lastRenderSampleTime = sampleTime;
        updateTimeInfo(*timeStamp);
        const bool inputSilent = pullInputs(timeStamp, frames);
        for (int b = 0; b < outputBusCount; ++b) {
            const int start = outputBusStart[b];
            for (int j = start; j < outputBusStart[b + 1]; ++j)
                vstOutputs[j] = channelBuffers[static_cast<size_t>(start + (j - start) % outputBusChannels[b])].data();
        }
        outputSilent = plugIn->processBlock(pendingEvents, supportsStringConversion, inputSilent, vstInputs, vstOutputs,
                                            static_cast<int32_t>(frames));
    }

    if (outputSilent)
        flags |= kAudioUnitRenderAction_OutputIsSilence;
    else
        flags &= ~kAudioUnitRenderAction_OutputIsSilence;

    // Buffers past the bus's own channels (a longer list, or a stereo format on a mono bus) repeat
    // the bus's channels: nothing outside the bus is read.
    const int start = outputBusStart[bus];
    const int vstWidth = outputBusStart[bus + 1] - start;
    for (UInt32 i = 0; i < ioData->mNumberBuffers; ++i) {
        AudioBuffer& buffer = ioData->mBuffers[i];
        float* channel = channelBuffers[static_cast<size_t>(start) + i % static_cast<UInt32>(vstWidth)].data();
        if (buffer.mData != nullptr)
            std::memcpy(buffer.mData, channel, frames * sizeof(float));
        else
            buffer.mData = channel;
    }

    flags |= kAudioUnitRenderAction_PostRender;
    callRenderNotifications(&flags, timeStamp, bus, frames, ioData);
    flags &= ~kAudioUnitRenderAction_PostRender;
    if (ioFlags != nullptr)
        *ioFlags = flags;
}

bool TandrilComponent::pullInputs(const AudioTimeStamp* timeStamp, UInt32 frames)
{
    bool allSilent = true;
    for (int b = 0; b < inputBusCount; ++b) {
        const int start = inputBusStart[b];
        const int vstWidth = inputBusStart[b + 1] - start;
        const int presented = inputBusChannels[b];
        BusBufferList list{};
        list.mNumberBuffers = static_cast<UInt32>(presented);
        for (int k = 0; k < presented; ++k) {
            // A bus presenting more channels than it has (a stereo format on a mono bus) gets its
            // extra channels written into the spare buffer: the effect's channel keeps the first one,
            // and no channel buffer past the effect's is touched.
            float* const data = k < vstWidth ? channelBuffers[static_cast<size_t>(start + k)].data() : spareInputBuffer.data();
            list.mBuffers[k] = AudioBuffer{1, frames * static_cast<UInt32>(sizeof(float)), data};
        }
        auto* asList = reinterpret_cast<AudioBufferList*>(&list);
        AudioUnitRenderActionFlags busFlags = 0;
        if (renderCallbacks[b].inputProc != nullptr) {
            throwIfError(renderCallbacks[b].inputProc(renderCallbacks[b].inputProcRefCon, &busFlags, timeStamp,
                                                      static_cast<UInt32>(b), frames, asList));
        } else if (connections[b].sourceAudioUnit != nullptr) {
            for (int k = 0; k < presented; ++k)
                list.mBuffers[k].mData = nullptr;
            throwIfError(AudioUnitRender(connections[b].sourceAudioUnit, &busFlags, timeStamp,
                                         connections[b].sourceOutputNumber, frames, asList));
        } else {
            for (int k = 0; k < vstWidth; ++k)
                std::memset(channelBuffers[static_cast<size_t>(start + k)].data(), 0, frames * sizeof(float));
            busFlags |= kAudioUnitRenderAction_OutputIsSilence;
        }
        for (int j = 0; j < vstWidth; ++j)
            vstInputs[start + j] = static_cast<float*>(list.mBuffers[j % presented].mData);
        if ((busFlags & kAudioUnitRenderAction_OutputIsSilence) == 0)
            allSilent = false;
    }
    return allSilent;
}

void TandrilComponent::updateTimeInfo(const AudioTimeStamp& timeStamp)
{
    timeInfo = VstTimeInfo{};
    timeInfo.samplePos = timeStamp.mSampleTime;
    timeInfo.sampleRate = streamFormat.mSampleRate;
    void* const user = hostCallbacks.hostUserData;
    if (hostCallbacks.beatAndTempoProc != nullptr) {
        Float64 beat = 0.0, tempo = 120.0;
        if (hostCallbacks.beatAndTempoProc(user, &beat, &tempo) == noErr) {
            timeInfo.ppqPos = beat;
            timeInfo.tempo = tempo;
            timeInfo.flags |= kVstPpqPosValid | kVstTempoValid;
        }
    }
    if (hostCallbacks.musicalTimeLocationProc != nullptr) {
        UInt32 toNextBeat = 0, denominator = 4;
        Float32 numerator = 4.0f;
        Float64 downBeat = 0.0;
        if (hostCallbacks.musicalTimeLocationProc(user, &toNextBeat, &numerator, &denominator, &downBeat) == noErr) {
            timeInfo.timeSigNumerator = static_cast<VstInt32>(numerator);
            timeInfo.timeSigDenominator = static_cast<VstInt32>(denominator);
            timeInfo.barStartPos = downBeat;
            timeInfo.flags |= kVstBarsValid | kVstTimeSigValid;
        }
    }
    if (hostCallbacks.transportStateProc != nullptr) {
        Boolean playing = 0, changed = 0, cycling = 0;
        Float64 sample = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
        if (hostCallbacks.transportStateProc(user, &playing, &changed, &sample, &cycling, &cycleStart, &cycleEnd) == noErr) {
            if (playing)
                timeInfo.flags |= kVstTransportPlaying;
            if (changed)
                timeInfo.flags |= kVstTransportChanged;
            timeInfo.samplePos = sample;
            if (cycling)
                timeInfo.flags |= kVstTransportCycleActive;
            timeInfo.cycleStartPos = cycleStart;
            timeInfo.cycleEndPos = cycleEnd;
            timeInfo.flags |= kVstCyclePosValid;
        }
    }
}

} // namespace q9framework
