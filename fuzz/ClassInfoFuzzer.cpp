// Audio Unit presets (".aupreset" files, the class-info dictionaries hosts store in their sessions):
// an XML property list parsed by the platform layer and handed to the real plug-in's Audio Unit as
// its class info, the way a host restores a saved session.
//
// Checks: a class info the component accepted is given back as one that restores to the same class
// info; one that is refused before its data is read (not a dictionary, or another component's)
// leaves the component's class info as it was.
#include "fuzz/FuzzSupport.h"
#include "tools/au/AUBundleComponent.h"

#include <cstdlib>
#include <memory>
#include <string>

using namespace q9framework::cf;

namespace {

struct Unit {
    kelvane::AUBundleComponent component;
    std::unique_ptr<kelvane::AUHostInstance> instance;
    Unit()
    {
        // Opening converts the preset folders: keep them away from the user's own.
        char pattern[] = "/tmp/kelvane-fuzz-XXXXXX";
        const std::string root = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        setenv("KELVANE_AUDIO_USER_DIR", (root + "/user").c_str(), 1);
        setenv("KELVANE_AUDIO_LOCAL_DIR", (root + "/local").c_str(), 1);
        std::string error;
        FUZZ_CHECK(component.load(KELVANE_BUNDLE_DIR, error), "the built bundle loads");
        instance = component.createInstance();
        FUZZ_CHECK(instance->open() == noErr, "the component opens");
    }
};

// Never destroyed: unloading the module at exit would hide what it still holds from the leak check.
Unit& opened()
{
    static Unit* instance = new Unit;
    return *instance;
}

kelvane::AUHostInstance& unit()
{
    return *opened().instance;
}

std::string classInfoXml()
{
    CFPropertyListRef info = nullptr;
    FUZZ_CHECK(unit().get(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, info) == noErr && info != nullptr,
               "the component gives its class info");
    CFRef<CFPropertyListRef> held(info);
    CFRef<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, info));
    FUZZ_CHECK(xml, "the class info is a property list");
    return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(xml.get())),
                       static_cast<size_t>(CFDataGetLength(xml.get())));
}

bool isOtherComponents(CFPropertyListRef list)
{
    if (CFGetTypeID(list) != CFDictionaryGetTypeID())
        return true;
    const void* subtype = CFDictionaryGetValue(static_cast<CFDictionaryRef>(list), CFSTR("subtype"));
    if (subtype == nullptr || CFGetTypeID(subtype) != CFNumberGetTypeID())
        return false;   // refused, but only after the program was chosen
    SInt32 value = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(subtype), kCFNumberSInt32Type, &value);
    return value != static_cast<SInt32>(opened().component.description().componentSubType);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFRef<CFDataRef> bytes(CFDataCreate(nullptr, data, static_cast<CFIndex>(size)));
    CFRef<CFPropertyListRef> list(CFPropertyListCreateFromXMLData(nullptr, bytes.get(), kCFPropertyListImmutable, nullptr));
    if (!list)
        return 0;
    const std::string before = classInfoXml();
    const CFPropertyListRef given = list.get();
    const OSStatus status = unit().set(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, given);
    const std::string after = classInfoXml();
    if (status != noErr) {
        if (isOtherComponents(given))
            FUZZ_CHECK(after == before, "a refused class info changes nothing");
        return 0;
    }
    CFRef<CFDataRef> afterBytes(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(after.data()),
                                             static_cast<CFIndex>(after.size())));
    CFRef<CFPropertyListRef> saved(CFPropertyListCreateFromXMLData(nullptr, afterBytes.get(), kCFPropertyListImmutable, nullptr));
    FUZZ_CHECK(saved, "the saved class info parses");
    const CFPropertyListRef savedList = saved.get();
    FUZZ_CHECK(unit().set(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, savedList) == noErr,
               "the saved class info is accepted");
    FUZZ_CHECK(classInfoXml() == after, "the saved class info restores to itself");
    return 0;
}
