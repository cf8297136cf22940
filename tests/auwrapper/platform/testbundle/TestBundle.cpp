// The executable of a tiny test bundle: it asks the Audio Unit layer for its own bundle from inside a
// loaded .so, exactly as the plug-in does, gives the tests something to look up with dlsym, and trades
// CF values with the test program, each side with its own copy of the layer, as host and plug-in do.

#include "auwrapper/platform/Bundle.h"
#include "auwrapper/platform/CFValues.h"

#include <cstring>

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

using namespace q9framework::cf;

TEST_EXPORT int testBundleAnswer()
{
    return 42;
}

// Copies the own bundle's directory into `buffer`; false when it was not found or does not fit.
TEST_EXPORT bool testBundleOwnPath(char* buffer, size_t size)
{
    const std::string path = q9framework::Bundle::getOwnBundle().getPath();
    if (path.empty() || path.size() + 1 > size)
        return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

// A preset-like dictionary made by this image's copy of the layer (Create rule).
TEST_EXPORT CFDictionaryRef testBundleCreatePreset()
{
    CFMutableDictionaryRef preset =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFRef<CFStringRef> name(createString("Punch"));
    CFDictionarySetValue(preset, CFSTR("name"), name.get());
    CFDictionarySetValue(preset, CFSTR("bypassed"), kCFBooleanTrue);
    const int32_t version = 1;
    CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &version));
    CFDictionarySetValue(preset, CFSTR("version"), number.get());
    return preset;
}

// Reads a dictionary made by the caller's copy: its "name" into `buffer`, false when missing.
TEST_EXPORT bool testBundleReadName(CFDictionaryRef preset, char* buffer, long size)
{
    return CFStringGetCString(static_cast<CFStringRef>(CFDictionaryGetValue(preset, CFSTR("name"))), buffer, size,
                              kCFStringEncodingUTF8);
}

TEST_EXPORT void testBundleRelease(CFTypeRef object)
{
    CFRelease(object);
}

TEST_EXPORT long testBundleLiveObjects()
{
    return liveObjectCount();
}
