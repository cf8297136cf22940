#include "framework/plugin/VST2Entry.h"

#include "framework/core/FrameworkInitialiser.h"
#include "framework/plugin/PluginInfo.h"
#include "framework/plugin/VST2Wrapper.h"

#include <memory>
#include <new>

namespace q9framework {

namespace {

// Process-wide, as the services they guard. Plain variables: hosts open and close instances one at a
// time, and a lock here would not make the services themselves safe to share across threads anyway.
int adapterCount = 0;
// The slot itself is never destroyed: a host that exits with instances still open must not run the
// framework's shutdown from a static destructor, after the lists it walks have gone.
// Placed in the module's own storage rather than on the heap, so a host that unloads the module
// leaves nothing behind.
alignas(std::unique_ptr<FrameworkInitialiser>) unsigned char frameworkInitialiserSlot[sizeof(std::unique_ptr<FrameworkInitialiser>)];
std::unique_ptr<FrameworkInitialiser>& frameworkInitialiser = *new (frameworkInitialiserSlot) std::unique_ptr<FrameworkInitialiser>();

} // namespace

void releaseFrameworkServices() noexcept
{
    if (adapterCount <= 0)
        return;
    if (--adapterCount == 0)
        frameworkInitialiser.reset();
}

int getNumVST2Adapters() noexcept
{
    return adapterCount;
}

FrameworkInitialiser* getFrameworkInitialiser() noexcept
{
    return frameworkInitialiser.get();
}

AEffect* createVST2Engine(audioMasterCallback audioMaster, PluginInfoFactory makeInfo,
                          AudioPluginFactory makePlugin) noexcept
{
    // A host that does not know its VST version (or answers 0) predates the interface we speak.
    if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    if (makeInfo == nullptr || makePlugin == nullptr)
        return nullptr;

    // The services must exist before the plug-in: its constructor may load resources through them.
    // The wrapper gives this share back when it is destroyed; until it exists, we do on failure.
    ++adapterCount;
    try {
        if (frameworkInitialiser == nullptr)
            frameworkInitialiser = std::make_unique<FrameworkInitialiser>();

        const std::unique_ptr<PluginInfo> info(makeInfo());
        std::unique_ptr<AudioPlugin> plugin(makePlugin());
        if (info == nullptr || plugin == nullptr) {
            releaseFrameworkServices();
            return nullptr;
        }
        auto* wrapper = new VST2Wrapper(audioMaster, plugin.get(), *info);
        plugin.release();
        return wrapper->getAeffect();
    } catch (...) {
        // Only allocation can fail here, and no exception may cross into the host.
        releaseFrameworkServices();
        return nullptr;
    }
}

} // namespace q9framework
