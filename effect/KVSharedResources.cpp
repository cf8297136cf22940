#include "effect/KVSharedResources.h"

#include "framework/resources/ResourcePack.h"

#include <mutex>
#include <string>

using q9framework::ResourcePack;

namespace {

std::mutex folderLock;
std::string folderOverride;

} // namespace

ResourcePack* KVSharedResources::acquire()
{
    const std::lock_guard<std::mutex> hold(folderLock);
    if (!folderOverride.empty())
        return ResourcePack::acquireShared(folderOverride.c_str());
    // Only the first instance reads the bundle; selecting it again for later ones costs one dladdr.
    if (ResourcePack::getSharedUserCount() == 0)
        ResourcePack::setResourceBundle(bundleIdentifier());
    return ResourcePack::acquireShared(nullptr);
}

void KVSharedResources::release() { ResourcePack::releaseShared(); }

ResourcePack* KVSharedResources::getPack() noexcept { return ResourcePack::getShared(); }

int KVSharedResources::getInstanceCount() noexcept { return ResourcePack::getSharedUserCount(); }

void KVSharedResources::setResourcesFolder(const char* folder)
{
    const std::lock_guard<std::mutex> hold(folderLock);
    folderOverride = folder != nullptr ? folder : "";
}

const char* KVSharedResources::bundleIdentifier() noexcept { return "com.velmora-audio.kelvane"; }
