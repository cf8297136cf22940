// The `kelvane` program end to end: run as a user runs it, on the real plug-in of the build tree.

#include "tools/kelvane/AudioFile.h"
#include "tools/kelvane/SignalStats.h"
#include "tests/support/RunCommand.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace kelvane;
namespace fs = std::filesystem;

namespace {

using ProgramRun = testsupport::CommandRun;

class KelvaneProgram : public ::testing::Test {
protected:
    fs::path folder;

    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("kelvane-" + std::to_string(getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    ProgramRun run(const std::string& arguments)
    {
        return testsupport::runCommand("cd '" + folder.string() + "' && '" KELVANE_PROGRAM "' " + arguments);
    }

    AudioData read(const std::string& name)
    {
        AudioData audio;
        std::string error;
        EXPECT_TRUE(readAudioFile((folder / name).string(), audio, error)) << error;
        return audio;
    }
};

/** The share of the energy in the second half of every 0.5 s step, where the loop's hits have
    died down to their sustain. Independent of the output gain. */
double sustainShare(const std::vector<float>& x, int sampleRate)
{
    const size_t step = static_cast<size_t>(sampleRate / 2);
    double sustain = 0.0, total = 0.0;
    for (size_t start = 0; start + step <= x.size(); start += step)
        for (size_t i = start; i < start + step; ++i) {
            const double e = static_cast<double>(x[i]) * x[i];
            total += e;
            if (i >= start + step / 2)
                sustain += e;
        }
    return total > 0.0 ? sustain / total : 0.0;
}

} // namespace

TEST_F(KelvaneProgram, TheDemoRenderWritesItsThreeFilesAndSharpensTheDrums)
{
    const ProgramRun r = run("render");
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char* name : {"kelvane-demo-in.wav", "kelvane-demo-out.wav", "kelvane-demo.png"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::exists(folder / name));
        EXPECT_GT(fs::file_size(folder / name), 10000u);
    }
    EXPECT_NE(r.output.find("Gain -4.50 dB"), std::string::npos) << "the plug-in's own text for the demo setting\n" << r.output;
    EXPECT_NE(r.output.find("real time"), std::string::npos) << r.output;

    const AudioData in = read("kelvane-demo-in.wav");
    const AudioData out = read("kelvane-demo-out.wav");
    ASSERT_EQ(in.numChannels(), 2);
    ASSERT_EQ(out.numChannels(), 2);
    ASSERT_EQ(out.numFrames(), in.numFrames());
    EXPECT_EQ(out.sampleRate, 44100);
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE(c);
        const auto& x = in.channels[static_cast<size_t>(c)];
        const auto& y = out.channels[static_cast<size_t>(c)];
        // More attack, less sustain: a higher crest factor and a quieter tail between the hits.
        EXPECT_GT(measureChannel(y.data(), y.size()).crestDb(), measureChannel(x.data(), x.size()).crestDb() + 1.0);
        EXPECT_LT(sustainShare(y, 44100), sustainShare(x, 44100) * 0.9);
    }
}

TEST_F(KelvaneProgram, RendersAMonoFileAndKeepsItsRateAndFormat)
{
    AudioData mono;
    mono.sampleRate = 22050;
    mono.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    mono.channels.assign(1, std::vector<float>(22050));
    for (size_t i = 0; i < mono.channels[0].size(); ++i)
        mono.channels[0][i] = (i % 5512 < 200 ? 0.8f : 0.1f) * std::sin(static_cast<float>(i) * 0.05f);
    std::string error;
    ASSERT_TRUE(writeAudioFile((folder / "mono.wav").string(), mono, error)) << error;

    const ProgramRun r = run("render mono.wav --gain -6 --block 100 --plot mono.png");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Gain -6.00 dB"), std::string::npos) << r.output;
    const AudioData out = read("mono-kelvane.wav");
    EXPECT_EQ(out.numChannels(), 1);
    EXPECT_EQ(out.sampleRate, 22050);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(out.numFrames(), mono.numFrames());
    EXPECT_TRUE(fs::exists(folder / "mono.png"));
    // Measured after the first burst: the effect ramps its gain in over the first block.
    const size_t settled = 2000;
    const double inPeak = measureChannel(mono.channels[0].data() + settled, mono.channels[0].size() - settled).peak;
    const double outPeak = measureChannel(out.channels[0].data() + settled, out.channels[0].size() - settled).peak;
    EXPECT_NEAR(20.0 * std::log10(outPeak / inPeak), -6.0, 0.5) << "the gain reaches the signal";
}

TEST_F(KelvaneProgram, BadArgumentsFailCleanlyAndNameTheProblem)
{
    AudioData six;
    six.channels.assign(6, std::vector<float>(100, 0.0f));
    std::string error;
    ASSERT_TRUE(writeAudioFile((folder / "six.wav").string(), six, error)) << error;

    const struct {
        const char* arguments;
        int status;
        const char* message;
    } cases[] = {
        {"render --frobnicate", 2, "unknown option '--frobnicate'"},
        {"render --attack 101", 2, "option '--attack' is out of range: 101 is not within -100 to 100 %"},
        {"render missing.wav", 1, "cannot read audio file 'missing.wav'"},
        {"render six.wav", 1, "'six.wav' has 6 channels; only mono and stereo files can be processed"},
        {"mix", 2, "unknown command 'mix'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ProgramRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    }
    EXPECT_FALSE(fs::exists(folder / "six-kelvane.wav"));
    EXPECT_FALSE(fs::exists(folder / "kelvane-demo-out.wav")) << "a refused render writes nothing";
}

TEST_F(KelvaneProgram, InfoListsWhatAHostSees)
{
    const ProgramRun r = run("info");
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char* line : {"name          Kelvane", "vendor        Velmora Audio Technologies", "product       Kelvane",
                             "version       2.5.3.0 (33882880)", "unique ID     'KvLn' (0x4B764C6E)",
                             "flags         0x231: has editor, can replacing, program chunks, no sound in stop",
                             "channels      2 in, 2 out", "parameters    7"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
    }
    // The effect's own texts are its suite's; here the listing's columns.
    EXPECT_NE(r.output.find(" 3  Gain           0.00 dB"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" 5  Release Time   mid"), std::string::npos) << r.output;
}
