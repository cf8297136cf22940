// XML property lists as presets and Info.plist files use them: round trips through the writer and the
// reader, the Mac's text form, and malformed input answering null with a reason.

#include "auwrapper/platform/CFValues.h"
#include "tests/auwrapper/platform/LiveObjects.h"
#include "tests/auwrapper/platform/TempTree.h"
#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <string>

using namespace q9framework::cf;

namespace {

using PropertyList = LiveObjectsCheckedTest;

CFDataRef dataOf(const std::string& text)
{
    return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(text.data()), static_cast<CFIndex>(text.size()));
}

std::string textOf(CFDataRef data)
{
    return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), static_cast<size_t>(CFDataGetLength(data)));
}

void setInt32(CFMutableDictionaryRef dictionary, const char* key, int32_t value)
{
    CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
    CFDictionarySetValue(dictionary, constantString(key), number.get());
}

int32_t int32Of(CFDictionaryRef dictionary, const char* key)
{
    int32_t value = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(dictionary, constantString(key))),
                     kCFNumberSInt32Type, &value);
    return value;
}

// A class-info dictionary shaped as the wrapper writes them, with awkward contents.
CFMutableDictionaryRef newPresetDictionary()
{
    CFMutableDictionaryRef preset =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    setInt32(preset, "version", 1);
    setInt32(preset, "type", 1635083896);                        // 'aufx'
    setInt32(preset, "subtype", 1266044014);                     // 'KvLn'
    setInt32(preset, "manufacturer", static_cast<int32_t>(0x80414243u));   // first byte >= 0x80: negative
    CFRef<CFStringRef> name(createString("Punch <&> \xC3\xA9"));
    CFDictionarySetValue(preset, CFSTR("name"), name.get());
    std::string bytes(300, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    CFRef<CFDataRef> data(dataOf(bytes));
    CFDictionarySetValue(preset, CFSTR("vstdata"), data.get());
    const double real = -0.25;
    CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberFloat64Type, &real));
    CFRef<CFDateRef> saved(CFDateCreate(nullptr, 123456789.0));   // XML dates keep whole seconds
    const void* items[] = {kCFBooleanTrue, number.get(), CFSTR(""), saved.get()};
    CFRef<CFArrayRef> array(CFArrayCreate(nullptr, items, 4, &kCFTypeArrayCallBacks));
    CFDictionarySetValue(preset, CFSTR("extras"), array.get());
    return preset;
}

} // namespace

TEST_F(PropertyList, WritesTheMacTextFormWithSortedKeysAndSignedIntegers)
{
    CFRef<CFMutableDictionaryRef> preset(newPresetDictionary());
    CFRef<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, preset.get()));
    ASSERT_TRUE(xml);
    const std::string text = textOf(xml.get());

    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n", 0),
              0u)
        << text;
    // Keys in bytewise order, as the Mac's writer puts them, whatever order they were added in.
    const char* order[] = {"extras", "manufacturer", "name", "subtype", "type", "version", "vstdata"};
    size_t last = 0;
    for (const char* key : order) {
        SCOPED_TRACE(key);
        const size_t at = text.find(std::string("<key>") + key + "</key>");
        ASSERT_NE(at, std::string::npos);
        EXPECT_GT(at, last);
        last = at;
    }
    EXPECT_NE(text.find("<integer>1635083896</integer>"), std::string::npos);
    EXPECT_NE(text.find("<integer>-2143206845</integer>"), std::string::npos) << "a high first byte prints negative";
    EXPECT_NE(text.find("<string>Punch &lt;&amp;&gt; \xC3\xA9</string>"), std::string::npos);
}

TEST_F(PropertyList, ReadsPresetsWrittenByOtherToolsIncludingOldHeaders)
{
    const std::string preset =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>\n"
        "\t<key>vstdata</key>\n\t<data>\n\tQ2NuSwAA\n\tAAA=\n\t</data>\n"
        "\t<key>type</key><integer>1635083896</integer>\n"
        "\t<key>manufacturer</key><integer>-5</integer>\n"
        "\t<key>name</key><string>Old &amp; gold</string>\n"
        "\t<key>sandboxSafe</key><true/>\n"
        "\t<key>saved</key><date>2009-06-01T12:00:00Z</date>\n"
        "</dict>\n</plist>\n";
    CFRef<CFDataRef> xml(dataOf(preset));
    CFRef<CFTypeRef> list(CFPropertyListCreateFromXMLData(nullptr, xml.get(), kCFPropertyListMutableContainers, nullptr));
    ASSERT_TRUE(list);
    ASSERT_EQ(CFGetTypeID(list.get()), CFDictionaryGetTypeID());
    auto dictionary = static_cast<CFDictionaryRef>(list.get());

    auto data = static_cast<CFDataRef>(CFDictionaryGetValue(dictionary, CFSTR("vstdata")));
    ASSERT_EQ(CFGetTypeID(data), CFDataGetTypeID());
    EXPECT_EQ(textOf(data), std::string("CcnK\0\0\0\0", 8)) << "base64 across lines and indentation";
    EXPECT_EQ(int32Of(dictionary, "type"), 1635083896);
    EXPECT_EQ(int32Of(dictionary, "manufacturer"), -5);
    EXPECT_EQ(toStdString(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary, CFSTR("name")))), "Old & gold");
    EXPECT_EQ(CFDictionaryGetValue(dictionary, CFSTR("sandboxSafe")), kCFBooleanTrue);
    EXPECT_EQ(CFGetTypeID(CFDictionaryGetValue(dictionary, CFSTR("saved"))), CFDateGetTypeID());

    // Mutable containers were asked for: the reader's dictionary can take the wrapper's own keys.
    CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(dictionary), CFSTR("ProgramNumber"), kCFBooleanFalse);
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 7);
}

TEST_F(PropertyList, MalformedInputIsRefusedWithAReason)
{
    // A NUL byte is refused before the parser sees it: the parser asserts on such a string.
    const std::string cases[] = {"<plist version=\"1.0\"><dict><key>name</key><string>cut",
                                 std::string("<plist>\0<dict/></plist>", 23)};
    for (const auto& text : cases) {
        CFRef<CFDataRef> xml(dataOf(text));
        CFStringRef error = nullptr;
        CFTypeRef list = CFPropertyListCreateFromXMLData(nullptr, xml.get(), kCFPropertyListImmutable, &error);
        EXPECT_EQ(list, nullptr);
        CFRelease(list);
        EXPECT_FALSE(toStdString(error).empty()) << "the reason goes into the wrapper's message";
        CFRelease(error);
    }
}

// Written files read back wherever presets are converted (the component suite) and saved (the test host).
TEST_F(PropertyList, FileFailuresNameTheFile)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    CFRef<CFMutableDictionaryRef> preset(newPresetDictionary());
    std::string error;
    EXPECT_EQ(createPropertyListFromFile(tree.path("Missing.aupreset"), &error), nullptr);
    EXPECT_NE(error.find("Missing.aupreset"), std::string::npos) << error;
    tree.file("Broken.aupreset", "<plist><dict><key>");
    EXPECT_EQ(createPropertyListFromFile(tree.path("Broken.aupreset"), &error), nullptr);
    EXPECT_NE(error.find("Broken.aupreset"), std::string::npos) << error;
    EXPECT_FALSE(writePropertyListToFile(preset.get(), tree.path("no/such/folder/x.aupreset")));
}

TEST_F(PropertyList, RealsKeepTheirDecimalPointUnderAHostsCommaLocale)
{
    const ScopedCommaLocale comma;
    if (!comma.isActive())
        GTEST_SKIP() << "no decimal-comma locale can be had here";
    CFRef<CFMutableDictionaryRef> preset(newPresetDictionary());
    CFRef<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, preset.get()));
    ASSERT_TRUE(xml);
    EXPECT_NE(textOf(xml.get()).find("<real>-0.25</real>"), std::string::npos) << textOf(xml.get());

    CFStringRef error = nullptr;
    CFRef<CFTypeRef> back(CFPropertyListCreateFromXMLData(nullptr, xml.get(), kCFPropertyListImmutable, &error));
    ASSERT_TRUE(back) << toStdString(error);
    EXPECT_TRUE(CFEqual(back.get(), preset.get()));
}
