// Levels, audio files, the demo loop and the progress bar of the command-line host.

#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/DemoLoop.h"
#include "tools/kelvane/ProgressBar.h"
#include "tools/kelvane/SignalStats.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <fstream>

using namespace kelvane;

TEST(SignalStats, PeakRmsAndCrestOfKnownSignals)
{
    // A full-scale square wave: peak = RMS, crest 0 dB. A single click among zeros: RMS = 1/sqrt(n).
    const float square[4] = {1.0f, -1.0f, 1.0f, -1.0f};
    const ChannelStats s = measureChannel(square, 4);
    EXPECT_DOUBLE_EQ(s.peak, 1.0);
    EXPECT_DOUBLE_EQ(s.rms, 1.0);
    EXPECT_NEAR(s.crestDb(), 0.0, 1e-12);

    const float click[100] = {0.5f};
    const ChannelStats c = measureChannel(click, 100);
    EXPECT_DOUBLE_EQ(c.peak, 0.5);
    EXPECT_DOUBLE_EQ(c.rms, 0.05);
    EXPECT_NEAR(c.crestDb(), 20.0, 1e-9);
    EXPECT_NEAR(c.peakDb(), -6.0206, 1e-4);

    const ChannelStats silent = measureChannel(nullptr, 0);
    EXPECT_EQ(formatDb(silent.peakDb()), "-inf");
    EXPECT_EQ(silent.crestDb(), 0.0);
    EXPECT_EQ(formatDb(-3.14159), "-3.14");
}

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

TEST(AudioFile, UnreadableFilesAreNamedInTheError)
{
    const std::string missing = ::testing::TempDir() + "no-such-file.wav";
    const std::string text = ::testing::TempDir() + "kelvane-not-audio.wav";
    std::ofstream(text) << "not audio at all";
    for (const std::string& path : {missing, text}) {
        SCOPED_TRACE(path);
        AudioData audio;
        audio.sampleRate = 1234;
        std::string error;
        EXPECT_FALSE(readAudioFile(path, audio, error));
        EXPECT_NE(error.find("cannot read audio file '" + path + "'"), std::string::npos) << error;
        EXPECT_EQ(audio.sampleRate, 1234) << "a failed read leaves the target alone";
    }
    std::remove(text.c_str());

    AudioData audio;
    audio.channels = {{0.0f}};
    std::string error;
    EXPECT_FALSE(writeAudioFile("/nonexistent-folder/out.wav", audio, error));
    EXPECT_NE(error.find("/nonexistent-folder/out.wav"), std::string::npos);
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
        {"out.unknown", wav16, wav16},
        {"out.flac", wav16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"out.flac", wavFloat, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"OUT.WAV", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        {"out.aif", wav16, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        {"out.ogg", wav16, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(outputFormatFor(c.path, c.source), c.expected);
    }
}

TEST(DemoLoop, IsAnEightSecondStereoLoopPeakingAtMinusOneDb)
{
    const AudioData demo = synthesiseDemoLoop();
    EXPECT_EQ(demo.sampleRate, 44100);
    ASSERT_EQ(demo.numChannels(), 2);
    EXPECT_EQ(demo.numFrames(), 8 * 44100);
    double peak = 0.0;
    for (const auto& channel : demo.channels)
        peak = std::max(peak, measureChannel(channel.data(), channel.size()).peak);
    EXPECT_NEAR(20.0 * std::log10(peak), -1.0, 1e-3);
    EXPECT_NE(demo.channels[0], demo.channels[1]) << "the room makes it stereo";
    // Drums: loud hits over a much quieter body, i.e. a high crest factor.
    EXPECT_GT(measureChannel(demo.channels[0].data(), demo.channels[0].size()).crestDb(), 10.0);
}

TEST(DemoLoop, IsTheSameOnEveryRun)
{
    const AudioData a = synthesiseDemoLoop();
    const AudioData b = synthesiseDemoLoop();
    EXPECT_EQ(a.channels, b.channels);
}

TEST(ProgressBar, StaysSilentWhenNotOnATerminal)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        ProgressBar bar(file);
        bar.update(0.5);
        bar.finish();
    }
    EXPECT_EQ(std::ftell(file), 0L);
    std::fclose(file);
}
