// The test host end to end on the built plug-in: the bundle found as an Audio Unit host finds it, the
// demo rendered through the Audio Unit bit-identical to the VST host's, state saved and restored as
// .aupreset files, factory presets, and a bare Linux plug-in wrapped and rendered.

#include "tests/auwrapper/component/ComponentFixture.h"
#include "tests/support/RunCommand.h"
#include "tools/au/AUBundleComponent.h"
#include "tools/kelvane/AudioFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>

using namespace aucomponenttest;
using namespace q9framework::cf;

namespace {

using RunResult = testsupport::CommandRun;

RunResult run(const std::string& directory, const std::string& arguments)
{
    return testsupport::runCommand("cd '" + directory + "' && '" KELVANE_PROGRAM "' " + arguments);
}

/** Keeps the user's real preset folders out of every test: the host opens with conversion on. */
struct ScratchFolders {
    TemporaryFolder folder;
    ScratchFolders()
    {
        setenv("KELVANE_AUDIO_USER_DIR", (folder.path() + "/user").c_str(), 1);
        setenv("KELVANE_AUDIO_LOCAL_DIR", (folder.path() + "/local").c_str(), 1);
    }
};

} // namespace

TEST(TestHost, DemoThroughTheAudioUnitIsBitIdenticalToTheVSTHost)
{
    ScratchFolders scratch;
    const std::string dir = scratch.folder.path();
    const struct {
        const char* what;
        std::string options;
    } cases[] = {
        {"the demo setting", ""},
        {"drive, time characters and odd blocks", "--drive 35 --attack-time sharp --release-time soft --block 333"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RunResult vst = run(dir, "render -o vst.wav " + c.options);
        ASSERT_EQ(vst.status, 0) << vst.output;
        const RunResult au = run(dir, "au render -o au.wav " + c.options);
        ASSERT_EQ(au.status, 0) << au.output;
        // The samples, not the files: a float WAV's PEAK chunk carries the time it was written.
        kelvane::AudioData a, b;
        std::string error;
        ASSERT_TRUE(kelvane::readAudioFile(dir + "/vst.wav", a, error)) << error;
        ASSERT_TRUE(kelvane::readAudioFile(dir + "/au.wav", b, error)) << error;
        ASSERT_EQ(a.numChannels(), 2);
        ASSERT_GT(a.numFrames(), 100000);
        EXPECT_EQ(a.sampleRate, b.sampleRate);
        EXPECT_TRUE(a.channels == b.channels) << "the wrapper adds no processing of its own";
    }
}

TEST(TestHost, StateSavedAsAupresetIsRestored)
{
    ScratchFolders scratch;
    const std::string dir = scratch.folder.path();
    const RunResult save = run(dir, "au info --attack 50 --gain -3 --release-time sharp --save-state saved.aupreset");
    ASSERT_EQ(save.status, 0) << save.output;
    EXPECT_NE(scratch.folder.read("saved.aupreset").find("<key>vstdata</key>"), std::string::npos);

    const RunResult load = run(dir, "au info --state saved.aupreset");
    ASSERT_EQ(load.status, 0) << load.output;
    EXPECT_NE(load.output.find("now 50 "), std::string::npos) << load.output;
    EXPECT_NE(load.output.find("now -3"), std::string::npos) << "the effect keeps six decimals in its state" << load.output;
}

TEST(TestHost, FactoryPresetsOfTheRealPlugInAreDistinct)
{
    ScratchFolders scratch;
    kelvane::AUBundleComponent component;
    std::string error;
    ASSERT_TRUE(component.load(AUCOMPONENT_KELVANE_BUNDLE, error)) << error;
    std::unique_ptr<kelvane::AUHostInstance> unit = component.createInstance();
    ASSERT_EQ(unit->open(), noErr);
    EXPECT_EQ(unit->call(kComponentVersionSelect), 0x00020503);

    CFArrayRef presets = nullptr;
    ASSERT_EQ(unit->get(kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, presets), noErr);
    CFRef<CFArrayRef> held(presets);
    ASSERT_GE(CFArrayGetCount(presets), 6);
    std::set<std::vector<float>> settings;
    for (CFIndex i = 0; i < CFArrayGetCount(presets); ++i) {
        const AUPreset preset = *static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
        SCOPED_TRACE(toStdString(preset.presetName));
        ASSERT_EQ(unit->set(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, preset), noErr);
        std::vector<float> values(7);
        for (UInt32 p = 0; p < 7; ++p)
            ASSERT_EQ(unit->getParameter(p, kAudioUnitScope_Global, 0, &values[p]), noErr);
        EXPECT_EQ(values[2], 0.0f) << "no factory preset is bypassed";
        settings.insert(values);
    }
    EXPECT_EQ(settings.size(), static_cast<size_t>(CFArrayGetCount(presets))) << "every preset sets something else";
    EXPECT_EQ(unit->close(), noErr);
}

TEST(TestHost, WrapsABareLinuxPlugInThatTheHostThenRenders)
{
    ScratchFolders scratch;
    const std::string dir = scratch.folder.path();
    const std::string plugIn = AUCOMPONENT_LEGACY_EFFECT;   // exports "main" alone
    const RunResult wrap = run(dir, "au wrap '" + plugIn + "' -o Legacy.vst");
    ASSERT_EQ(wrap.status, 0) << wrap.output;

    // The defaults come from the plug-in: its unique ID, its vendor and its name.
    const RunResult info = run(dir, "au info --plugin Legacy.vst");
    ASSERT_EQ(info.status, 0) << info.output;
    for (const char* expected : {"Velmora Test: Legacy Param  'aufx' 'TdLg' 'Velm'", "Param 0", "dB", "Param 3"})
        EXPECT_NE(info.output.find(expected), std::string::npos) << expected << "\n" << info.output;

    // Parameter 0 at 1 doubles the effect's gain: output c = input c * (c + 1) * 2.
    kelvane::AudioData input;
    input.sampleRate = 48000;
    input.channels = {std::vector<float>(1000, 0.25f), std::vector<float>(1000, -0.125f)};
    std::string error;
    ASSERT_TRUE(kelvane::writeAudioFile(dir + "/in.wav", input, error)) << error;
    const RunResult render = run(dir, "au render in.wav -o out.wav --plugin Legacy.vst --param 0=1");
    ASSERT_EQ(render.status, 0) << render.output;
    kelvane::AudioData output;
    ASSERT_TRUE(kelvane::readAudioFile(dir + "/out.wav", output, error)) << error;
    ASSERT_EQ(output.numChannels(), 2);
    ASSERT_EQ(output.numFrames(), 1000);
    EXPECT_EQ(output.channels[0][999], 0.5f);
    EXPECT_EQ(output.channels[1][0], -0.5f);

    const RunResult existing = run(dir, "au wrap '" + plugIn + "' -o Legacy.vst");
    EXPECT_EQ(existing.status, 1);
    EXPECT_NE(existing.output.find("exists already"), std::string::npos) << existing.output;
    const RunResult again = run(dir, "au wrap '" + plugIn + "' -o Legacy.vst --force --name 'Elsewhere: Renamed'");
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_NE(run(dir, "au info --plugin Legacy.vst").output.find("Elsewhere: Renamed"), std::string::npos)
        << "--force replaces a bundle the command made";
}
