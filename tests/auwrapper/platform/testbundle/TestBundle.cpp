// The executable of a tiny test bundle: it asks the Audio Unit layer for its own bundle from inside a
// loaded .so, exactly as the plug-in does, and gives the tests something to look up with dlsym.

#include "auwrapper/platform/Bundle.h"

#include <cstring>

extern "C" __attribute__((visibility("default"))) int testBundleAnswer()
{
    return 42;
}

// Copies the own bundle's directory into `buffer`; false when it was not found or does not fit.
extern "C" __attribute__((visibility("default"))) bool testBundleOwnPath(char* buffer, size_t size)
{
    const std::string path = q9framework::Bundle::getOwnBundle().getPath();
    if (path.empty() || path.size() + 1 > size)
        return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}
