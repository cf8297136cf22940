// The value layer's rules as the wrapper relies on them: who holds which reference, what containers
// retain, text encodings, and that wrong input answers null instead of crashing. Every test checks the
// live-object count, so a missed release fails it. The file URLs' walk from the executable up to its
// bundle is taken by every component the component suite opens.

#include "auwrapper/platform/CFValues.h"
#include "tests/auwrapper/platform/LiveObjects.h"

#include <gtest/gtest.h>

using namespace q9framework::cf;

namespace {

using CFValues = LiveObjectsCheckedTest;

CFNumberRef newInt32(int32_t value)
{
    return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
}

} // namespace

TEST_F(CFValues, DictionariesRetainWhatTheyHoldAndReleaseItWhenReplacedRemovedOrFreed)
{
    CFStringRef key = createString("name");
    CFStringRef first = createString("first");
    CFStringRef second = createString("second");
    CFMutableDictionaryRef dictionary =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);

    CFDictionarySetValue(dictionary, key, first);

    CFDictionaryAddValue(dictionary, CFSTR("name"), second);   // an equal key: Add keeps the old value
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), first);
    CFDictionarySetValue(dictionary, CFSTR("name"), second);   // Set replaces it, found by value equality
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), second);
    EXPECT_EQ(CFGetRetainCount(first), 1) << "the replaced value was released";

    CFDictionaryRemoveValue(dictionary, key);

    CFDictionarySetValue(dictionary, key, second);
    CFRelease(dictionary);   // the last reference frees the dictionary and releases its entries
    EXPECT_EQ(CFGetRetainCount(second), 1);
    CFRelease(key);
    CFRelease(first);
    CFRelease(second);
}

TEST_F(CFValues, ArraysWithoutCallBacksHoldRawPointersUntouched)
{
    // The wrapper's factory preset array points into its own table of records, not at CF objects.
    struct Record { int32_t number; CFStringRef name; } records[3] = {{0, nullptr}, {1, nullptr}, {2, nullptr}};
    CFMutableArrayRef raw = CFArrayCreateMutable(nullptr, 0, nullptr);
    for (auto& record : records)
        CFArrayAppendValue(raw, &record);
    ASSERT_EQ(CFArrayGetCount(raw), 3);
    EXPECT_EQ(CFArrayGetValueAtIndex(raw, 2), &records[2]);
    CFRetain(raw);   // the host's reference
    CFRelease(raw);
    CFRelease(raw);   // freeing it must not release the records

    CFStringRef text = createString("x");
    const void* values[] = {text, text};
    CFArrayRef retaining = CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks);
    EXPECT_EQ(CFGetRetainCount(text), 3);
    CFRelease(retaining);
    EXPECT_EQ(CFGetRetainCount(text), 1);
    CFRelease(text);
}

TEST_F(CFValues, StringsConvertBetweenEncodingsOrRefuse)
{
    const struct {
        std::string bytes;
        CFStringEncoding encoding;
        const char* utf8;   // null: refused
        const char* what;
    } cases[] = {
        {"caf\xC3\xA9", kCFStringEncodingUTF8, "caf\xC3\xA9", "UTF-8"},
        {"\xDB", kCFStringEncodingMacRoman, "\xE2\x82\xAC", "Mac Roman 0xDB is the euro sign"},
        {"\xC0\xAF", kCFStringEncodingUTF8, nullptr, "an overlong slash"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CFRef<CFStringRef> string(CFStringCreateWithCString(nullptr, c.bytes.c_str(), c.encoding));
        if (c.utf8 == nullptr) {
            EXPECT_FALSE(string);
            continue;
        }
        ASSERT_TRUE(string);
        EXPECT_EQ(toStdString(string.get()), c.utf8);
        char back[16];
        ASSERT_TRUE(CFStringGetCString(string.get(), back, sizeof(back), c.encoding));
        EXPECT_EQ(std::string(back), c.bytes) << "converting back gives the same bytes";
    }
}

TEST_F(CFValues, GetCStringRefusesWhatDoesNotFitOrHasNoCode)
{
    CFRef<CFStringRef> string(createString("Attack"));
    char buffer[7];
    EXPECT_TRUE(CFStringGetCString(string.get(), buffer, 7, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "Attack");
    EXPECT_FALSE(CFStringGetCString(string.get(), buffer, 6, kCFStringEncodingUTF8)) << "no room for the NUL";
    EXPECT_STREQ(buffer, "");

    CFRef<CFStringRef> note(createString("\xF0\x9F\x8E\xB5"));
    EXPECT_FALSE(CFStringGetCString(note.get(), buffer, 7, kCFStringEncodingMacRoman)) << "Mac Roman has no note";
}

TEST_F(CFValues, NumbersReportWhetherAValueFitsExactly)
{
    CFRef<CFNumberRef> minusOne(newInt32(-1));
    int32_t i32 = 0;
    int64_t i64 = 0;
    double f64 = 0.0;
    EXPECT_TRUE(CFNumberGetValue(minusOne.get(), kCFNumberSInt32Type, &i32));
    EXPECT_EQ(i32, -1);
    EXPECT_TRUE(CFNumberGetValue(minusOne.get(), kCFNumberSInt64Type, &i64));
    EXPECT_EQ(i64, -1);

    const double half = 1.5;
    CFRef<CFNumberRef> real(CFNumberCreate(nullptr, kCFNumberFloat64Type, &half));
    EXPECT_FALSE(CFNumberGetValue(real.get(), kCFNumberSInt32Type, &i32)) << "the fraction is lost";
    EXPECT_EQ(i32, 1);
    EXPECT_TRUE(CFNumberGetValue(real.get(), kCFNumberFloat64Type, &f64));
    EXPECT_EQ(f64, 1.5);

    const double huge = 1e300;
    CFRef<CFNumberRef> tooBig(CFNumberCreate(nullptr, kCFNumberFloat64Type, &huge));
    EXPECT_FALSE(CFNumberGetValue(tooBig.get(), kCFNumberSInt32Type, &i32));
    EXPECT_EQ(i32, INT32_MAX) << "clamped, not undefined";

    const double one = 1.0;
    CFRef<CFNumberRef> realOne(CFNumberCreate(nullptr, kCFNumberFloat64Type, &one));
    CFRef<CFNumberRef> intOne(newInt32(1));
    EXPECT_TRUE(CFEqual(realOne.get(), intOne.get()));
    EXPECT_EQ(CFNumberCreate(nullptr, 99, &one), nullptr);
}

TEST_F(CFValues, WrongObjectsAndImmutableContainersChangeNothing)
{
    CFRef<CFStringRef> text(createString("text"));
    CFRef<CFDictionaryRef> frozen(
        CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));

    // A string where a dictionary belongs, and null.
    EXPECT_EQ(CFDictionaryGetValue(reinterpret_cast<CFDictionaryRef>(text.get()), CFSTR("x")), nullptr);
    EXPECT_EQ(CFDictionaryGetValue(nullptr, CFSTR("x")), nullptr);
    CFRelease(nullptr);

    CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(frozen.get()), CFSTR("k"), text.get());
    EXPECT_EQ(CFDictionaryGetCount(frozen.get()), 0) << "an immutable dictionary stays unchanged";
    EXPECT_EQ(CFGetRetainCount(text.get()), 1);
    EXPECT_EQ(CFDictionaryCreate(nullptr, nullptr, nullptr, 2, nullptr, nullptr), nullptr);
}

TEST_F(CFValues, RequiredValuesTellMissingFromWrongTypeAndNamesFallBackToMacRoman)
{
    CFRef<CFMutableDictionaryRef> dictionary(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    CFRef<CFNumberRef> number(newInt32(1));
    CFDictionarySetValue(dictionary.get(), CFSTR("version"), number.get());
    RequiredValue how = RequiredValue::found;
    EXPECT_EQ(getRequiredValue(dictionary.get(), "version", CFNumberGetTypeID(), &how), number.get());
    EXPECT_EQ(how, RequiredValue::found);
    EXPECT_EQ(getRequiredValue(dictionary.get(), "version", CFStringGetTypeID(), &how), nullptr);
    EXPECT_EQ(how, RequiredValue::wrongType);
    EXPECT_EQ(getRequiredValue(dictionary.get(), "name", CFStringGetTypeID(), &how), nullptr);
    EXPECT_EQ(how, RequiredValue::missing);

    CFRef<CFStringRef> utf8(createStringUTF8OrMacRoman("caf\xC3\xA9"));
    CFRef<CFStringRef> macRoman(createStringUTF8OrMacRoman("caf\x8E"));   // 0x8E is e-acute in Mac Roman
    ASSERT_TRUE(utf8 && macRoman);
    EXPECT_EQ(toStdString(utf8.get()), "caf\xC3\xA9");
    EXPECT_EQ(toStdString(macRoman.get()), "caf\xC3\xA9");
}
