#include "tools/au/AUBundleComponent.h"

namespace kelvane {

using namespace q9framework::cf;

namespace {

std::string stringValue(CFDictionaryRef entry, const char* key)
{
    return toStdString(static_cast<CFStringRef>(getRequiredValue(entry, key, CFStringGetTypeID())));
}

bool readCode(CFDictionaryRef entry, const char* key, OSType& code, std::string& problem)
{
    if (!fourCharCodeFromString(stringValue(entry, key), code)) {
        problem = std::string("its '") + key + "' is not a four-character code";
        return false;
    }
    return true;
}

} // namespace

bool AUBundleComponent::load(const std::string& bundlePath, std::string& error)
{
    bundle = q9framework::Bundle::fromPath(bundlePath);
    path = bundlePath;
    if (bundle.isNull()) {
        error = "'" + bundlePath + "' is not a bundle directory";
        return false;
    }
    const std::string plist = bundle.getInfoPlistPath();
    CFDictionaryRef info = bundle.getInfoDictionary();
    if (info == nullptr) {
        error = "'" + plist + "' is missing or not a property list dictionary";
        return false;
    }
    const void* components = CFDictionaryGetValue(info, CFSTR("AudioComponents"));
    if (components == nullptr || CFGetTypeID(components) != CFArrayGetTypeID()
        || CFArrayGetCount(static_cast<CFArrayRef>(components)) < 1) {
        error = "'" + plist + "' registers no Audio Unit (no AudioComponents entry)";
        return false;
    }
    const void* first = CFArrayGetValueAtIndex(static_cast<CFArrayRef>(components), 0);
    if (CFGetTypeID(first) != CFDictionaryGetTypeID()) {
        error = "'" + plist + "': the first AudioComponents entry is not a dictionary";
        return false;
    }
    const auto entry = static_cast<CFDictionaryRef>(first);
    std::string problem;
    if (!readCode(entry, "type", registered.componentType, problem)
        || !readCode(entry, "subtype", registered.componentSubType, problem)
        || !readCode(entry, "manufacturer", registered.componentManufacturer, problem)) {
        error = "'" + plist + "': the AudioComponents entry is malformed: " + problem;
        return false;
    }
    const void* version = getRequiredValue(entry, "version", CFNumberGetTypeID());
    SInt64 versionValue = 0;
    if (version != nullptr)
        CFNumberGetValue(static_cast<CFNumberRef>(version), kCFNumberSInt64Type, &versionValue);
    componentVersion = static_cast<UInt32>(versionValue);
    componentName = stringValue(entry, "name");
    const std::string function = stringValue(entry, "factoryFunction");
    if (function.empty()) {
        error = "'" + plist + "': the AudioComponents entry names no factoryFunction";
        return false;
    }
    if (!bundle.loadExecutable()) {
        error = "cannot load '" + bundle.getExecutablePath() + "': " + bundle.getLoadError();
        return false;
    }
    factory = reinterpret_cast<ComponentRoutine>(bundle.getFunctionPointer(function.c_str()));
    if (factory == nullptr) {
        error = "'" + bundle.getExecutablePath() + "' has no function '" + function + "'";
        return false;
    }
    return true;
}

std::unique_ptr<AUHostInstance> AUBundleComponent::createInstance(CFDictionaryRef hostInfo) const
{
    return std::make_unique<AUHostInstance>(factory, registered, componentVersion, componentName, hostInfo);
}

} // namespace kelvane
