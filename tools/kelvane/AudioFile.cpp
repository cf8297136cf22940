#include "tools/kelvane/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <memory>

namespace kelvane {

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

// Frames moved per sf_readf/sf_writef call: big enough to be cheap, small enough that a long file
// is never interleaved in one piece.
constexpr sf_count_t chunkFrames = 16384;

} // namespace

bool readAudioFile(const std::string& path, AudioData& out, std::string& error)
{
    SF_INFO info{};
    SndfilePtr file(sf_open(path.c_str(), SFM_READ, &info));
    if (file == nullptr) {
        error = "cannot read audio file '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = "cannot read audio file '" + path + "': it declares no channels or no sample rate";
        return false;
    }

    // Float reads of integer files are scaled to -1..1; without this, float files with peaks above
    // full scale would be normalised by libsndfile.
    sf_command(file.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);

    AudioData audio;
    audio.sampleRate = info.samplerate;
    audio.format = info.format;
    audio.channels.assign(static_cast<size_t>(info.channels), {});
    for (auto& channel : audio.channels)
        channel.reserve(static_cast<size_t>(info.frames > 0 ? info.frames : 0));

    std::vector<float> interleaved(static_cast<size_t>(chunkFrames * info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), interleaved.data(), chunkFrames);
        if (got <= 0)
            break;
        for (sf_count_t frame = 0; frame < got; ++frame)
            for (int c = 0; c < info.channels; ++c)
                audio.channels[static_cast<size_t>(c)].push_back(interleaved[static_cast<size_t>(frame * info.channels + c)]);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        error = "cannot read audio file '" + path + "': " + sf_strerror(file.get());
        return false;
    }
    out = std::move(audio);
    return true;
}

int outputFormatFor(const std::string& path, int sourceFormat)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return sourceFormat;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Common names libsndfile lists under another extension.
    if (extension == "aif")
        extension = "aiff";
    else if (extension == "ogg")
        extension = "oga";
    else if (extension == "mp3")
        extension = "m1a";

    // Several containers share an extension (".wav": RIFF, WAVEX, NIST): the source's own wins.
    std::vector<int> containers;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO major{};
        major.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &major, sizeof major) == 0 && major.extension != nullptr
            && extension == major.extension)
            containers.push_back(major.format);
    }
    if (containers.empty() || std::find(containers.begin(), containers.end(), sourceFormat & SF_FORMAT_TYPEMASK) != containers.end())
        return sourceFormat;
    // Another container: keep the sample encoding where it can hold it.
    for (const int subtype : {sourceFormat & SF_FORMAT_SUBMASK, static_cast<int>(SF_FORMAT_PCM_24),
                              static_cast<int>(SF_FORMAT_FLOAT), static_cast<int>(SF_FORMAT_VORBIS),
                              static_cast<int>(SF_FORMAT_MPEG_LAYER_III)}) {
        SF_INFO probe{};
        probe.samplerate = 44100;
        probe.channels = 2;
        probe.format = containers.front() | subtype;
        if (sf_format_check(&probe))
            return probe.format;
    }
    return sourceFormat;
}

bool writeAudioFile(const std::string& path, const AudioData& audio, std::string& error)
{
    if (audio.numChannels() < 1) {
        error = "cannot write audio file '" + path + "': there is no channel to write";
        return false;
    }
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.numChannels();
    info.format = audio.format != 0 ? audio.format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    if (!sf_format_check(&info)) {
        error = "cannot write audio file '" + path + "': libsndfile cannot write this format with "
                + std::to_string(info.channels) + " channels at " + std::to_string(info.samplerate) + " Hz";
        return false;
    }
    SndfilePtr file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (file == nullptr) {
        error = "cannot write audio file '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    // Integer output saturates at full scale instead of wrapping around, as a producer expects.
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const int numChannels = audio.numChannels();
    const int64_t numFrames = audio.numFrames();
    std::vector<float> interleaved(static_cast<size_t>(chunkFrames * numChannels));
    for (int64_t start = 0; start < numFrames; start += chunkFrames) {
        const int64_t count = std::min<int64_t>(chunkFrames, numFrames - start);
        for (int64_t frame = 0; frame < count; ++frame)
            for (int c = 0; c < numChannels; ++c)
                interleaved[static_cast<size_t>(frame * numChannels + c)] = audio.channels[static_cast<size_t>(c)][static_cast<size_t>(start + frame)];
        if (sf_writef_float(file.get(), interleaved.data(), count) != count) {
            error = "cannot write audio file '" + path + "': " + sf_strerror(file.get());
            return false;
        }
    }
    return true;
}

} // namespace kelvane
