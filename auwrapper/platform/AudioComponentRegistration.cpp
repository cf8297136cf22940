#include "auwrapper/platform/AudioComponentRegistration.h"

namespace q9framework {

using namespace cf;

namespace {

bool stringValue(CFDictionaryRef entry, const char* key, std::string& out)
{
    const void* value = getRequiredValue(entry, key, CFStringGetTypeID());
    if (value == nullptr)
        return false;
    out = toStdString(static_cast<CFStringRef>(value));
    return true;
}

bool codeValue(CFDictionaryRef entry, const char* key, OSType& code)
{
    std::string text;
    return stringValue(entry, key, text) && fourCharCodeFromString(text, code);
}

bool readEntry(CFDictionaryRef entry, AudioComponentRegistration& component)
{
    if (CFGetTypeID(entry) != CFDictionaryGetTypeID())
        return false;
    const void* version = getRequiredValue(entry, "version", CFNumberGetTypeID());
    int64_t versionNumber = 0;
    if (version == nullptr || !CFNumberGetValue(static_cast<CFNumberRef>(version), kCFNumberSInt64Type, &versionNumber)
        || versionNumber < 0 || versionNumber > 0xFFFFFFFFll)
        return false;
    component.version = static_cast<UInt32>(versionNumber);
    return codeValue(entry, "type", component.description.componentType)
        && codeValue(entry, "subtype", component.description.componentSubType)
        && codeValue(entry, "manufacturer", component.description.componentManufacturer)
        && stringValue(entry, "name", component.name) && stringValue(entry, "factoryFunction", component.factoryFunction)
        && !component.factoryFunction.empty();
}

} // namespace

bool readAudioComponents(CFDictionaryRef info, std::vector<AudioComponentRegistration>& components)
{
    components.clear();
    const void* list = CFDictionaryGetValue(info, CFSTR("AudioComponents"));
    if (CFGetTypeID(list) != CFArrayGetTypeID())
        return false;
    const auto array = static_cast<CFArrayRef>(list);
    bool allRead = true;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        AudioComponentRegistration component;
        if (readEntry(static_cast<CFDictionaryRef>(CFArrayGetValueAtIndex(array, i)), component))
            components.push_back(component);
        else
            allRead = false;
    }
    return allRead;
}

bool readAudioComponents(const Bundle& bundle, std::vector<AudioComponentRegistration>& components)
{
    return readAudioComponents(bundle.getInfoDictionary(), components);
}

} // namespace q9framework
