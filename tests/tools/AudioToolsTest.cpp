// Audio files of the command-line host.

#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/SignalStats.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>

using namespace kelvane;

TEST(AudioFile, RoundTripKeepsRateFormatAndSamples)
{
    AudioData audio;
    audio.sampleRate = 48000;
    audio.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    audio.channels = {{0.0f, 0.5f, -0.5f, 0.25f}, {1.5f, -2.0f, 0.125f, 0.0f}};
    const std::string path = ::testing::TempDir() + "kelvane-roundtrip.wav";
    std::string error;
    ASSERT_TRUE(writeAudioFile(path, audio, error)) << error;

    AudioData back;
    ASSERT_TRUE(readAudioFile(path, back, error)) << error;
    EXPECT_EQ(back.sampleRate, 48000);
    EXPECT_EQ(back.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(back.numChannels(), 2);
    ASSERT_EQ(back.numFrames(), 4);
    EXPECT_FLOAT_EQ(back.channels[0][1], 0.5f);
    EXPECT_FLOAT_EQ(back.channels[0][2], -0.5f);
    // 16-bit output saturates at full scale instead of wrapping around.
    EXPECT_NEAR(back.channels[1][0], 1.0f, 1e-4f);
    EXPECT_FLOAT_EQ(back.channels[1][1], -1.0f);
    std::remove(path.c_str());
}

TEST(AudioFile, TheOutputNamesExtensionPicksTheContainerAndKeepsTheEncoding)
{
    const int wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const int wavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    const struct {
        const char* path;
        int source;
        int expected;
    } cases[] = {
        {"out.wav", wav16, wav16},
        {"out", wavFloat, wavFloat},
        {"take.2/out", wav16, wav16},
        {"out.flac", wav16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"out.flac", wavFloat, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"OUT.WAV", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        {"out.ogg", wav16, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(outputFormatFor(c.path, c.source), c.expected);
    }
}
