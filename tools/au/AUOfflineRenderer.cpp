#include "tools/au/AUOfflineRenderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kelvane {

namespace {

struct InputSource {
    const AudioData* audio;
    int64_t position;
};

/** The unit's input: the file's channels from the current position (silence past its end). */
OSStatus supplyInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 frames,
                     AudioBufferList* data)
{
    const auto& source = *static_cast<InputSource*>(refCon);
    const AudioData& audio = *source.audio;
    for (UInt32 c = 0; c < data->mNumberBuffers; ++c) {
        auto* out = static_cast<float*>(data->mBuffers[c].mData);
        const auto& channel = audio.channels[std::min<size_t>(c, audio.channels.size() - 1)];
        for (UInt32 i = 0; i < frames; ++i) {
            const int64_t at = source.position + i;
            out[i] = at < static_cast<int64_t>(channel.size()) ? channel[static_cast<size_t>(at)] : 0.0f;
        }
    }
    return noErr;
}

std::string failed(const char* step, OSStatus status)
{
    return std::string("the Audio Unit refused ") + step + " (status " + std::to_string(status) + ")";
}

} // namespace

bool renderThroughAudioUnit(AUHostInstance& unit, const AudioData& input, int blockSize, AudioData& output, std::string& error)
{
    const auto channels = static_cast<UInt32>(input.numChannels());
    if (channels < 1 || channels > 2 || blockSize < 1) {
        error = "only mono and stereo audio can be rendered";
        return false;
    }
    const AudioStreamBasicDescription format{static_cast<Float64>(input.sampleRate), kAudioFormatLinearPCM,
                                             kAudioFormatFlagsAudioUnitCanonical, 4, 1, 4, channels, 32, 0};
    OSStatus status = noErr;
    if ((status = unit.set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, format)) != noErr
        || (status = unit.set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, format)) != noErr) {
        error = failed("the stream format", status);
        return false;
    }
    if ((status = unit.set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0,
                           static_cast<UInt32>(blockSize))) != noErr) {
        error = failed("the slice size", status);
        return false;
    }
    InputSource source{&input, 0};
    if ((status = unit.set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                           AURenderCallbackStruct{&supplyInput, &source})) != noErr) {
        error = failed("the input callback", status);
        return false;
    }
    if ((status = unit.initialize()) != noErr) {
        error = failed("to initialise", status);
        return false;
    }

    const int64_t numFrames = input.numFrames();
    output.sampleRate = input.sampleRate;
    output.format = input.format;
    output.channels.assign(channels, std::vector<float>(static_cast<size_t>(numFrames), 0.0f));
    std::vector<unsigned char> listStorage(8 + 16 * channels);
    auto* list = reinterpret_cast<AudioBufferList*>(listStorage.data());
    for (int64_t position = 0; position < numFrames && status == noErr; position += blockSize) {
        const auto frames = static_cast<UInt32>(std::min<int64_t>(blockSize, numFrames - position));
        source.position = position;
        list->mNumberBuffers = channels;
        for (UInt32 c = 0; c < channels; ++c)
            list->mBuffers[c] = AudioBuffer{1, frames * 4, output.channels[c].data() + position};
        AudioTimeStamp time{};
        time.mSampleTime = static_cast<Float64>(position);
        time.mFlags = kAudioTimeStampSampleTimeValid;
        AudioUnitRenderActionFlags flags = 0;
        status = unit.render(&flags, &time, 0, frames, list);
    }
    unit.uninitialize();
    if (status != noErr) {
        error = failed("to render", status);
        return false;
    }
    return true;
}

} // namespace kelvane
