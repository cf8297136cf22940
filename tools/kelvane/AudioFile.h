#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

/** Audio held in memory by the command-line host: one float vector per channel (not interleaved,
    so a channel can be handed to a VST effect as it is), plus what is needed to write the result
    back in the file's own rate and format.
    Plain value type; not shared between threads. */
struct AudioData {
    int sampleRate = 44100;
    int format = 0;                          // libsndfile's SF_FORMAT_* word of the source file; 0: WAV float
    std::vector<std::vector<float>> channels;

    int numChannels() const { return static_cast<int>(channels.size()); }
    int64_t numFrames() const { return channels.empty() ? 0 : static_cast<int64_t>(channels[0].size()); }
    double durationSeconds() const { return sampleRate > 0 ? static_cast<double>(numFrames()) / sampleRate : 0.0; }
};

/** Reads any file libsndfile understands into `out`, samples as float in -1..1 (integer formats are
    scaled by libsndfile). On failure returns false, leaves `out` unchanged and sets `error` to a
    sentence naming the file and the problem. */
[[nodiscard]] bool readAudioFile(const std::string& path, AudioData& out, std::string& error);

/** Writes `audio` in its own rate and `format` (a 0 format writes 32-bit float WAV). Integer formats
    are clipped to full scale by libsndfile rather than wrapped. Returns false with `error` set when
    the file cannot be created or written. */
[[nodiscard]] bool writeAudioFile(const std::string& path, const AudioData& audio, std::string& error);

/** The format to write `path` in, for audio read in `sourceFormat`: the source's own format when the
    file name's extension names the same container (or names none libsndfile knows); otherwise the
    container of the extension ("out.flac") with the source's sample encoding when that container
    holds it, else 24-bit PCM, else 32-bit float. */
int outputFormatFor(const std::string& path, int sourceFormat);

} // namespace kelvane
