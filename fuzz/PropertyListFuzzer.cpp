// XML property lists as the platform layer reads them (".aupreset" files, Info.plist, the class info
// of hosts' sessions). Checks: whatever parsed prints, and the printed list parses to an equal one
// that prints the same bytes again.
#include "auwrapper/platform/CFValues.h"
#include "fuzz/FuzzSupport.h"

#include <string>

using namespace q9framework::cf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFRef<CFDataRef> bytes(CFDataCreate(nullptr, data, static_cast<CFIndex>(size)));
    CFStringRef error = nullptr;
    CFRef<CFPropertyListRef> list(CFPropertyListCreateFromXMLData(nullptr, bytes.get(), kCFPropertyListImmutable, &error));
    if (!list) {
        CFRelease(error);
        return 0;
    }
    FUZZ_CHECK(error == nullptr, "no error text with a parsed list");
    FUZZ_CHECK(CFPropertyListIsValid(list.get()), "a parsed list holds property-list values only");
    CFRef<CFDataRef> printed(CFPropertyListCreateXMLData(nullptr, list.get()));
    FUZZ_CHECK(printed, "a parsed list prints");
    CFRef<CFPropertyListRef> again(CFPropertyListCreateFromXMLData(nullptr, printed.get(), kCFPropertyListImmutable, nullptr));
    FUZZ_CHECK(again, "a printed list parses");
    FUZZ_CHECK(CFEqual(list.get(), again.get()), "a printed list parses to an equal list");
    CFRef<CFDataRef> reprinted(CFPropertyListCreateXMLData(nullptr, again.get()));
    FUZZ_CHECK(reprinted && CFEqual(printed.get(), reprinted.get()), "printing is stable");
    return 0;
}
