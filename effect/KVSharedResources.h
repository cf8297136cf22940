#pragma once

/** The process-wide resource pack every Kelvane instance shares (the editor's artwork).
    The first plug-in instance loads it from the bundle's resources folder, the last one frees it.
    The plug-in works without a pack: the editor then shows no artwork.
    Thread-safe: hosts may create and destroy instances on different threads. */
class KVSharedResources {
public:
    /** Counts one more instance; the first loads the pack. */
    static void acquire();
    /** Counts one instance less; the last frees the pack. */
    static void release();
    static int getInstanceCount() noexcept;
    /** Whether a pack is currently loaded. */
    static bool isPackLoaded() noexcept;
    /** Identifier of the bundle whose resources folder holds "resources.bin". */
    static const char* bundleIdentifier() noexcept;
};
