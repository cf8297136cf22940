#pragma once

namespace q9framework {
class ResourcePack;
}

/** The resource pack every Kelvane instance in the process shares (the editor's artwork, Contents/
    Resources/resources.bin of the bundle). The first plug-in instance loads it, the last one frees it;
    images taken from it stay valid after that. The plug-in works without a pack: the editor then shows
    no artwork.
    Threads: hosts may create and destroy instances on different threads; acquire and release are
    serialised. Never called on the audio path. */
class KVSharedResources {
public:
    /** Counts one more instance; the first selects the effect's bundle and loads the pack. Returns the
        pack, or null when there is none. */
    static q9framework::ResourcePack* acquire();
    /** Counts one instance less; the last frees the pack. Unmatched calls are ignored. */
    static void release();
    /** The loaded pack, or null. */
    static q9framework::ResourcePack* getPack() noexcept;
    static int getInstanceCount() noexcept;
    /** Tools and tests: load resources.bin from this folder instead of the bundle's resources (null
        returns to the bundle). Takes effect when the next first instance is made. */
    static void setResourcesFolder(const char* folder);
    /** Identifier of the effect's bundle. */
    static const char* bundleIdentifier() noexcept;
};
