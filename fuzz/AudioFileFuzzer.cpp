// Audio files given to the command-line host (WAV, FLAC, anything libsndfile opens), read through its
// AudioFile code from a file as the host reads them. Checks: a refused file leaves the audio as it
// was and says why; an accepted one has equally long channels and a positive rate.
#include "fuzz/FuzzSupport.h"
#include "tools/kelvane/AudioFile.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/kelvane-fuzz-audio-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0)
            close(fd);
        return std::string(pattern);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(scratchPath().c_str(), "wb");
    FUZZ_CHECK(file != nullptr, "the scratch file opens");
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);

    kelvane::AudioData audio;
    audio.sampleRate = 12345;
    audio.channels = {{0.25f}};
    std::string error;
    if (!kelvane::readAudioFile(scratchPath(), audio, error)) {
        FUZZ_CHECK(!error.empty(), "a refusal says why");
        FUZZ_CHECK(audio.sampleRate == 12345 && audio.channels.size() == 1 && audio.channels[0].size() == 1
                       && audio.channels[0][0] == 0.25f,
                   "a refused file leaves the audio as it was");
        return 0;
    }
    FUZZ_CHECK(audio.sampleRate > 0, "a positive rate");
    FUZZ_CHECK(audio.numChannels() > 0, "at least one channel");
    for (const auto& channel : audio.channels)
        FUZZ_CHECK(static_cast<int64_t>(channel.size()) == audio.numFrames(), "channels of one length");
    return 0;
}
