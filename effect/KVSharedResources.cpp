#include "effect/KVSharedResources.h"

#include <mutex>

namespace {

std::mutex countLock;
int instanceCount = 0;
bool packLoaded = false;

// PENDING RESOURCE PACK: the framework's resource-pack reader is not in the tree yet. These two
// functions are the single place where setResourceBundle(bundleIdentifier()) + loadResourcePack
// ("resources.bin") and the pack's deletion go; until then no pack is ever loaded and the plug-in
// runs without artwork, exactly as it does when the file is missing.
bool loadPack() { return false; }
void freePack() { packLoaded = false; }

} // namespace

void KVSharedResources::acquire()
{
    const std::lock_guard<std::mutex> hold(countLock);
    if (instanceCount++ == 0)
        packLoaded = loadPack();
}

void KVSharedResources::release()
{
    const std::lock_guard<std::mutex> hold(countLock);
    if (instanceCount > 0 && --instanceCount == 0)
        freePack();
}

int KVSharedResources::getInstanceCount() noexcept
{
    const std::lock_guard<std::mutex> hold(countLock);
    return instanceCount;
}

bool KVSharedResources::isPackLoaded() noexcept
{
    const std::lock_guard<std::mutex> hold(countLock);
    return packLoaded;
}

const char* KVSharedResources::bundleIdentifier() noexcept { return "com.velmora-audio.kelvane"; }
