// Presets as the host sees them: class-info dictionaries (reading, restoring, refusing), the current
// preset, factory presets from "TDFactoryPresets.txt", and the conversion of preset folders.

#include "auwrapper/VSTPresetCodec.h"
#include "tests/auwrapper/component/ComponentFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace aucomponenttest;
using namespace q9framework::cf;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global;

std::string toXml(CFPropertyListRef list)
{
    CFRef<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, list));
    return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(xml.get())), static_cast<size_t>(CFDataGetLength(xml.get())));
}

void setNumber(CFMutableDictionaryRef d, const char* key, int32_t value)
{
    CFRef<CFNumberRef> n(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
    CFDictionarySetValue(d, constantString(key), n.get());
}

void noteProperty(void* userData, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement)
{
    static_cast<std::vector<AudioUnitPropertyID>*>(userData)->push_back(id);
}

/** An ".aupreset" of the Param effect with parameter 0 at `level` (normalised), made by a component. */
std::string presetFile(ComponentFixture& maker, const char* name, float level)
{
    maker.component().getPlugIn().setParameter(0, level);
    // The program inside carries the preset's name, so the effect reports that name once loaded.
    maker.component().getPlugIn().setProgramName(name);
    CFRef<CFMutableDictionaryRef> info(maker.component().makeClassInfo(name, maker.component().saveProgram()));
    return toXml(info.get());
}

} // namespace

TEST(Presets, ClassInfoRoundTrip)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    q9framework::VSTPlugIn& vst = f.component().getPlugIn();
    vst.setParameter(1, 0.75f);
    CFPropertyListRef saved = nullptr;
    ASSERT_EQ(f.host().get(kAudioUnitProperty_ClassInfo, G, 0, saved), noErr);
    const auto dict = static_cast<CFDictionaryRef>(saved);
    int32_t value = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("version"))), kCFNumberSInt32Type, &value);
    EXPECT_EQ(value, 1);
    CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("manufacturer"))), kCFNumberSInt32Type, &value);
    EXPECT_EQ(static_cast<OSType>(value), fourCharCode("Velm"));
    CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("ProgramNumber"))), kCFNumberSInt32Type, &value);
    EXPECT_EQ(value, 0);
    const auto data = static_cast<CFDataRef>(CFDictionaryGetValue(dict, CFSTR("vstdata")));
    EXPECT_EQ(CFDataGetLength(data), 4 * 4 + 56) << "an FXP of the current program";

    vst.setParameter(1, 0.0f);
    std::vector<AudioUnitPropertyID> seen;
    ASSERT_EQ(f.host().call(kAudioUnitAddPropertyListenerSelect, AudioUnitPropertyID(36), &noteProperty, &seen), noErr);
    ASSERT_EQ(f.host().set(kAudioUnitProperty_ClassInfo, G, 0, saved), noErr);
    EXPECT_EQ(vst.getParameter(1), 0.75f);
    EXPECT_EQ(seen.size(), 1u) << "PresentPreset is notified";
    CFRelease(saved);
}

TEST(Presets, MalformedClassInfoIsRefusedWithItsStatus)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    const struct {
        const char* what;
        std::function<void(CFMutableDictionaryRef)> damage;
        OSStatus expected;
    } cases[] = {
        {"missing vstdata", [](CFMutableDictionaryRef d) { CFDictionaryRemoveValue(d, CFSTR("vstdata")); }, q9framework::otherExceptionStatus},
        {"another manufacturer", [](CFMutableDictionaryRef d) { setNumber(d, "manufacturer", 1); }, kAudioUnitErr_InvalidPropertyValue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CFRef<CFMutableDictionaryRef> info(f.component().makeClassInfo("x", f.component().saveProgram()));
        c.damage(info.get());
        const CFPropertyListRef asList = info.get();
        EXPECT_EQ(f.host().set(kAudioUnitProperty_ClassInfo, G, 0, asList), c.expected);
    }
}

TEST(Presets, FactoryPresetsFromTheList)
{
    ComponentFixture maker;
    ASSERT_EQ(maker.open(), noErr);
    BundleSpec spec;
    spec.factoryList = "; factory presets\n\n  Loud.aupreset\r\nQuiet.aupreset";
    ComponentFixture f(spec);
    f.folder().write("AUTest.component/Contents/Resources/Loud.aupreset", presetFile(maker, "Loud", 1.0f));
    f.folder().write("AUTest.component/Contents/Resources/Quiet.aupreset", presetFile(maker, "Quiet", 0.0f));
    ASSERT_EQ(f.open(), noErr);

    CFArrayRef presets = nullptr;
    ASSERT_EQ(f.host().get(kAudioUnitProperty_FactoryPresets, G, 0, presets), noErr);
    ASSERT_EQ(CFArrayGetCount(presets), 2);
    const auto* second = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, 1));
    EXPECT_EQ(second->presetNumber, 1);
    EXPECT_EQ(toStdString(second->presetName), "Quiet");
    CFRelease(presets);

    ASSERT_EQ(f.host().set(kAudioUnitProperty_PresentPreset, G, 0, AUPreset{0, nullptr}), noErr);
    EXPECT_EQ(f.component().getPlugIn().getParameter(0), 1.0f);
    AUPreset current{};
    ASSERT_EQ(f.host().get(kAudioUnitProperty_CurrentPreset, G, 0, current), noErr);
    EXPECT_EQ(current.presetNumber, 0);
    EXPECT_EQ(toStdString(current.presetName), "Loud");
    EXPECT_EQ(f.host().set(kAudioUnitProperty_PresentPreset, G, 0, AUPreset{2, nullptr}), kAudioUnitErr_InvalidPropertyValue);
}

TEST(Presets, ABrokenFactoryPresetFileFailsTheOpen)
{
    BundleSpec spec;
    spec.factoryList = "Broken.aupreset\n";
    ComponentFixture f(spec);
    f.folder().write("AUTest.component/Contents/Resources/Broken.aupreset", "garbage");
    EXPECT_EQ(f.open(), q9framework::otherExceptionStatus);
}

TEST(Presets, UserPresetNames)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    f.host().events.clear();
    ASSERT_EQ(f.host().set(kAudioUnitProperty_CurrentPreset, G, 0, AUPreset{-1, nullptr}), noErr);
    EXPECT_TRUE(f.host().events.empty()) << "unchanged name, already a user preset: nothing to tell";

    CFRef<CFStringRef> name(createString("A name much longer than twenty-four characters"));
    ASSERT_EQ(f.host().set(kAudioUnitProperty_PresentPreset, G, 0, AUPreset{-5, name.get()}), noErr);
    EXPECT_EQ(f.component().getPlugIn().getProgramName(), "A name much longer than ");
    EXPECT_EQ(f.host().events.size(), 2u) << "CurrentPreset and PresentPreset";
}

TEST(Presets, FolderConversionHappensOnceAndNeverOverwrites)
{
    ComponentFixture maker;
    ASSERT_EQ(maker.open(), noErr);
    maker.component().getPlugIn().setParameter(0, 0.5f);
    const std::vector<uint8_t> program = maker.component().saveProgram();
    const std::vector<uint8_t> bank = maker.component().saveBank();

    BundleSpec spec;
    spec.config = "<key>AutoConvertPresets</key><true/><key>PresetIsFXB</key><false/>"
                  "<key>UpdateNameOnLoad</key><true/><key>CanDoMonoIO</key><true/>";
    ComponentFixture f(spec);
    const std::string presets = "audio-user/Presets/Velmora Test/AU Test/";
    const TemporaryFolder& tree = f.folder();
    tree.write(presets + "Soft.fxp", std::string(program.begin(), program.end()));
    tree.write(presets + "Kit.FXB", std::string(bank.begin(), bank.end()));
    tree.write(presets + "Mine.aupreset", "kept as it is");
    tree.write(presets + "Mine.fxp", std::string(program.begin(), program.end()));
    tree.write(presets + ".Hidden.fxp", std::string(program.begin(), program.end()));
    tree.write(presets + "notes.txt", "not a preset");
    tree.write("audio-local/Presets/readme", "the local domain has no folder for this component yet");
    ASSERT_EQ(f.open(), noErr);

    EXPECT_TRUE(tree.exists(presets + "Soft.aupreset"));
    EXPECT_EQ(tree.read(presets + "Mine.aupreset"), "kept as it is") << "an existing result is never overwritten";
    EXPECT_FALSE(tree.exists(presets + ".Hidden.aupreset"));
    EXPECT_FALSE(tree.exists(presets + "notes.aupreset"));
    for (const char* programName : {"Program 1", "Program 2", "Program 3"})
        EXPECT_TRUE(tree.exists(presets + "Kit/" + programName + ".aupreset")) << programName;
    EXPECT_TRUE(tree.exists("audio-local/Presets/Velmora Test/AU Test")) << "both domains are converted";

    // The converted preset restores the program it was made from.
    std::string error;
    CFRef<CFPropertyListRef> soft(createPropertyListFromFile(tree.path() + "/" + presets + "Soft.aupreset", &error));
    ASSERT_TRUE(soft) << error;
    f.component().getPlugIn().setParameter(0, 0.0f);
    const CFPropertyListRef asList = soft.get();
    ASSERT_EQ(f.host().set(kAudioUnitProperty_ClassInfo, G, 0, asList), noErr);
    EXPECT_EQ(f.component().getPlugIn().getParameter(0), 0.5f);
    EXPECT_EQ(f.component().getPlugIn().getProgramName(), "Soft") << "UpdateNameOnLoad";

    // A second opening converts nothing new.
    tree.write(presets + "Soft.aupreset", "user edited");
    ASSERT_EQ(f.host().close(), noErr);
    ComponentFixture again(spec);
    ASSERT_EQ(again.open(), noErr);
    EXPECT_EQ(tree.read(presets + "Soft.aupreset"), "user edited");
}

TEST(Presets, AFailedWriteAbandonsTheDomainAndLeavesNoPartialPreset)
{
    ComponentFixture maker;
    ASSERT_EQ(maker.open(), noErr);
    const std::vector<uint8_t> program = maker.component().saveProgram();

    BundleSpec spec;
    spec.config = "<key>AutoConvertPresets</key><true/><key>PresetIsFXB</key><false/>"
                  "<key>UpdateNameOnLoad</key><true/><key>CanDoMonoIO</key><true/>";
    ComponentFixture f(spec);
    const std::string user = "audio-user/Presets/Velmora Test/AU Test/";
    const std::string local = "audio-local/Presets/Velmora Test/AU Test/";
    // "A" is converted first; its preset outgrows the file size limit below, the others do not.
    f.folder().write(user + "A.fxp", std::string(16384, 'x'));
    f.folder().write(user + "B.fxp", std::string(program.begin(), program.end()));
    f.folder().write(local + "C.fxp", std::string(program.begin(), program.end()));

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit capped = saved;
    capped.rlim_cur = 8192;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);   // a write past the limit fails instead
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);
    const OSStatus opened = f.open();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_EQ(opened, noErr) << "a domain that fails does not fail the open";
    EXPECT_FALSE(f.folder().exists(user + "A.aupreset")) << "no partial preset stays behind to block a later try";
    EXPECT_FALSE(f.folder().exists(user + "B.aupreset")) << "the failure ends the conversion of its domain";
    EXPECT_TRUE(f.folder().exists(local + "C.aupreset")) << "the other domain is converted all the same";
}
