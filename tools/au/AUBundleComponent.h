#pragma once

// An Audio Unit found in a bundle the way a Linux Audio Unit host finds it: the first entry of the
// AudioComponents array in the bundle's Info.plist names the component (type, subtype, manufacturer,
// name, version) and its factory function, which is looked up in the bundle's executable.

#include "auwrapper/platform/Bundle.h"
#include "tools/au/AUHostInstance.h"

#include <memory>
#include <string>

namespace kelvane {

/** A component registered by a bundle. Keeps the bundle (and so its loaded executable) for as long as
    it lives; instances made from it must be closed first. Main thread; nothing throws. */
class AUBundleComponent {
public:
    /** Reads `bundlePath`/Contents/Info.plist and loads the executable. False with `error` naming the
        file and the problem (no AudioComponents entry, a code that is not four characters, no such
        function in the executable, ...). */
    [[nodiscard]] bool load(const std::string& bundlePath, std::string& error);

    const AudioComponentDescription& description() const { return registered; }
    UInt32 version() const { return componentVersion; }
    const std::string& name() const { return componentName; }
    ComponentRoutine entry() const { return factory; }
    const std::string& bundlePath() const { return path; }

    /** A new, not yet opened instance of the component. `hostInfo` is lent to it (may be null). */
    std::unique_ptr<AUHostInstance> createInstance(CFDictionaryRef hostInfo = nullptr) const;

private:
    q9framework::Bundle bundle;
    std::string path;
    AudioComponentDescription registered{};
    UInt32 componentVersion = 0;
    std::string componentName;
    ComponentRoutine factory = nullptr;
};

} // namespace kelvane
