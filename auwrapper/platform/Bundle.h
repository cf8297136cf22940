#pragma once

// A bundle reference: a directory shaped like a Mac bundle, as the build produces it:
//
//     Name.vst/Contents/Info.plist
//     Name.vst/Contents/x86_64-linux/Name.so      the executable
//     Name.vst/Contents/Resources/                 resources
//
// What CFBundle gives the wrapper on the Mac, on Linux: the executable is loaded with dlopen and its
// functions found with dlsym; an alias among the resources is a symbolic link.

#include "auwrapper/platform/CFValues.h"

#include <string>
#include <vector>

namespace q9framework {

/** A shared, reference-counted reference to one bundle directory.

    Ownership: copies share one reference count (a copy retains, destruction releases). The executable,
    once loaded through `loadExecutable`, stays loaded until the last reference goes, which unloads it
    (dlclose). Two bundles made separately for the same directory are separate references; the dynamic
    loader's own count keeps one image for both, so neither unloads the other's code.

    A null bundle (default-constructed, or what a failed creation returns) answers every query with
    false, empty or null.

    Threads: any thread may copy, release, load and query; loading and the Info.plist cache are guarded
    by the bundle's own locks. Unloading while another thread calls into the executable is the caller's
    mistake. None of it belongs on the audio path (it takes locks and touches files). Nothing throws,
    apart from std::bad_alloc when memory runs out. */
class Bundle {
public:
    Bundle() noexcept = default;
    Bundle(const Bundle& other) noexcept;
    Bundle(Bundle&& other) noexcept;
    Bundle& operator=(Bundle other) noexcept;
    ~Bundle();

    /** The bundle at `bundleDirectory` (a symbolic link to a bundle is followed); null when that is not
        a directory. The directory need not hold an executable or Info.plist. */
    static Bundle fromPath(const std::string& bundleDirectory);

    /** The bundle of an executable: its directory is three components up (Contents/x86_64-linux/X.so),
        and its executable is exactly `executablePath`, whatever Info.plist says. The file need not
        exist; loading it then fails. Null only for a path with fewer than three components. */
    static Bundle forExecutable(const std::string& executablePath);

    /** A plug-in that is a bare executable outside any bundle (a Linux VST's lone .so): its path is the
        file's, its executable the file itself; it has no Info.plist and no resources. Null for an empty
        path or a directory. */
    static Bundle forLoneExecutable(const std::string& executablePath);

    /** The bundle holding the code at `address` (any function of a loaded image), found with dladdr.
        Null when no loaded image contains the address. */
    static Bundle forAddress(const void* address);

    /** The bundle holding this code: `forAddress` on a function of this library, so inside the plug-in
        it is the plug-in's own bundle, inside a test program the program's. */
    static Bundle getOwnBundle();

    bool isNull() const noexcept { return internal == nullptr; }
    explicit operator bool() const noexcept { return internal != nullptr; }
    bool operator==(const Bundle& other) const noexcept { return internal == other.internal; }
    bool operator!=(const Bundle& other) const noexcept { return internal != other.internal; }

    /** How many Bundle objects share this reference (0 for a null bundle). */
    int getReferenceCount() const noexcept;

    /** The bundle directory as it was given or found (absolute for the own bundle). */
    std::string getPath() const;

    /** Contents/x86_64-linux/ + the executable's name with ".so" appended, or that name as it is; the
        name is Info.plist's CFBundleExecutable, or without one the bundle folder's name without its
        extension. Failing those, the only ".so" in the folder. Empty when none of these exists (for
        `forExecutable` and `forLoneExecutable`: the given path, always). */
    std::string getExecutablePath() const;

    /** Contents/Resources when it is a directory, else empty. */
    std::string getResourcesPath() const;

    /** Contents/Info.plist (whether or not it exists). */
    std::string getInfoPlistPath() const;

    /** Info.plist as a dictionary, read once and kept with the bundle: lent (Get rule), valid while a
        reference to the bundle lives. Null when the file is missing, malformed or not a dictionary. */
    cf::CFDictionaryRef getInfoDictionary() const;

    /** CFBundleIdentifier of Info.plist, empty when there is none. */
    std::string getIdentifier() const;

    /** dlopen (RTLD_NOW | RTLD_LOCAL) of the executable; true when loaded (also when it already was
        through this reference). False when there is no executable or it does not load. */
    [[nodiscard]] bool loadExecutable();
    bool isExecutableLoaded() const noexcept;
    /** Unloads now if this reference loaded it; later lookups answer null until loaded again. */
    void unloadExecutable();
    /** The loader's last error text after a failed load (for diagnostics), else empty. */
    std::string getLoadError() const;

    /** dlsym in the loaded executable; null when not loaded or not found. */
    void* getFunctionPointer(const char* name) const;

    /** Full paths of the resources (files, folders or aliases, not resolved) whose extension is
        `extension`, in `subdirectory` of the resources folder when it is not empty; sorted by name,
        invisible names left out. Returns false (and an empty list) when that folder does not exist. */
    bool getResourcePathsOfType(const std::string& extension, std::vector<std::string>& paths,
                                const std::string& subdirectory = {}) const;

    /** The full path of resource `name` + "." + `extension` (or just `name` when `extension` is empty),
        empty when no such item exists. An alias counts as existing when its target does. */
    std::string getResourcePath(const std::string& name, const std::string& extension = {}) const;

private:
    struct Internal;
    explicit Bundle(Internal* adopted) noexcept : internal(adopted) {}
    Internal* internal = nullptr;
};

} // namespace q9framework
