#include "auwrapper/ClassInfo.h"

namespace q9framework {

using namespace cf;

CFMutableDictionaryRef createClassInfo(const AudioComponentDescription& component, const std::string& name,
                                       const std::vector<uint8_t>& vstData)
{
    CFRef<CFMutableDictionaryRef> dictionary(
        CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    const std::pair<const char*, SInt32> numbers[] = {
        {"version", classInfoVersion},
        {"type", static_cast<SInt32>(component.componentType)},
        {"subtype", static_cast<SInt32>(component.componentSubType)},
        {"manufacturer", static_cast<SInt32>(component.componentManufacturer)},
    };
    for (const auto& [key, value] : numbers) {
        CFRef<CFNumberRef> number(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value));
        CFDictionarySetValue(dictionary.get(), constantString(key), number.get());
    }
    CFRef<CFStringRef> nameString(createStringUTF8OrMacRoman(name));
    CFDictionarySetValue(dictionary.get(), CFSTR("name"), nameString ? nameString.get() : CFSTR(""));
    CFRef<CFDataRef> bytes(CFDataCreate(kCFAllocatorDefault, vstData.data(), static_cast<CFIndex>(vstData.size())));
    CFDictionarySetValue(dictionary.get(), CFSTR("vstdata"), bytes.get());
    return dictionary.release();
}

} // namespace q9framework
