// Reading the AudioComponents entries of Info.plist, as a host does before it loads the executable.

#include "auwrapper/platform/AudioComponentRegistration.h"
#include "tests/auwrapper/platform/TempTree.h"

#include <gtest/gtest.h>

using namespace q9framework;

namespace {

std::string infoPlistWith(const std::string& components)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>CFBundleIdentifier</key><string>com.velmora.kelvane</string>\n"
           "<key>AudioComponents</key>\n<array>\n" + components + "</array>\n</dict>\n</plist>\n";
}

std::string entry(const char* type, const char* version)
{
    return std::string("<dict><key>type</key>") + type + "<key>subtype</key><string>KvLn</string>"
        "<key>manufacturer</key><string>Vlmr</string><key>name</key><string>Velmora Audio Technologies: Kelvane</string>"
        "<key>version</key>" + version + "<key>factoryFunction</key><string>TandrilEntry</string></dict>\n";
}

} // namespace

TEST(AudioComponentRegistration, ReadsEachWellFormedEntryAndSkipsTheRest)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    tree.file("K.vst/Contents/Info.plist",
              infoPlistWith(entry("<string>aufx</string>", "<integer>65539</integer>")
                            + entry("<string>aufxx</string>", "<integer>1</integer>")       // five characters
                            + entry("<string>aufx</string>", "<string>1.0</string>")        // version as text
                            + "<string>not a dictionary</string>\n"));
    Bundle bundle = Bundle::fromPath(tree.path("K.vst"));
    EXPECT_EQ(bundle.getIdentifier(), "com.velmora.kelvane");

    std::vector<AudioComponentRegistration> components;
    EXPECT_FALSE(readAudioComponents(bundle, components)) << "some entries were malformed";
    ASSERT_EQ(components.size(), 1u);
    const AudioComponentRegistration& kelvane = components[0];
    EXPECT_EQ(kelvane.description.componentType, kAudioUnitType_Effect);
    EXPECT_EQ(kelvane.description.componentSubType, fourCharCode("KvLn"));
    EXPECT_EQ(kelvane.description.componentManufacturer, fourCharCode("Vlmr"));
    EXPECT_EQ(kelvane.version, 0x00010003u);
    EXPECT_EQ(kelvane.name, "Velmora Audio Technologies: Kelvane");
    EXPECT_EQ(kelvane.factoryFunction, "TandrilEntry");
    EXPECT_EQ(stringFromFourCharCode(kelvane.description.componentSubType), "KvLn");
}
