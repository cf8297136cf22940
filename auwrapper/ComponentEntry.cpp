// The Audio Unit entry points of a module that publishes a TandrilComponent. Compiled into the module
// itself (the plug-in, a test component), never into a static library, where nothing would keep them.

#include "auwrapper/TandrilComponent.h"

#include <dlfcn.h>

#define TANDRIL_EXPORT extern "C" __attribute__((visibility("default")))

TANDRIL_EXPORT ComponentResult TandrilEntry(ComponentParameters* params, Handle storage);
TANDRIL_EXPORT ComponentResult TandrilViewEntry(ComponentParameters* params, Handle storage);

namespace {

/** The path of the image that holds this entry: the bundle's executable. Empty when the loader cannot
    say (the open then fails with "Could not find image for current bundle"). */
std::string ownImagePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&TandrilEntry), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

} // namespace

ComponentResult TandrilEntry(ComponentParameters* params, Handle storage)
{
    // Only open needs the path; the lookup is cheap but not free, so not on every render.
    const bool isOpen = params != nullptr && params->what == kComponentOpenSelect;
    return q9framework::TandrilComponent::dispatchEntry(params, storage, isOpen ? ownImagePath() : std::string());
}

ComponentResult TandrilViewEntry(ComponentParameters*, Handle)
{
    // The older view-component interface: this wrapper offers its editor through CocoaUI only.
    return badComponentSelector;
}
