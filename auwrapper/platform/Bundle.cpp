// Bundles on Linux: a directory tree, a dlopen handle and a reference count. Finding the own bundle
// uses dladdr instead of walking the loaded images, which Linux does not offer in the Mac's form; the
// result is the same: the directory three components above the executable.

#include "auwrapper/platform/Bundle.h"

#include "auwrapper/platform/FileSystem.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>

namespace q9framework {

namespace {

// A string value of the dictionary, empty when it is missing or of another type.
std::string stringFor(cf::CFDictionaryRef dictionary, const char* key)
{
    const void* value = cf::CFDictionaryGetValue(dictionary, cf::constantString(key));
    return cf::CFGetTypeID(value) == cf::CFStringGetTypeID() ? cf::toStdString(static_cast<cf::CFStringRef>(value))
                                                             : std::string();
}

} // namespace

struct Bundle::Internal {
    std::atomic<int> references{1};
    std::string path;
    std::string fixedExecutable;   // set by forExecutable; otherwise found through Info.plist
    std::mutex loading;            // guards handle and loadError
    void* handle = nullptr;
    std::string loadError;
    std::mutex reading;            // guards the two below
    bool infoRead = false;
    cf::CFDictionaryRef info = nullptr;

    ~Internal()
    {
        if (handle != nullptr)
            ::dlclose(handle);
        cf::CFRelease(info);
    }
};

Bundle::Bundle(const Bundle& other) noexcept : internal(other.internal)
{
    if (internal != nullptr)
        internal->references.fetch_add(1, std::memory_order_relaxed);
}

Bundle::Bundle(Bundle&& other) noexcept : internal(other.internal)
{
    other.internal = nullptr;
}

Bundle& Bundle::operator=(Bundle other) noexcept
{
    std::swap(internal, other.internal);
    return *this;
}

Bundle::~Bundle()
{
    if (internal != nullptr && internal->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete internal;
}

Bundle Bundle::fromPath(const std::string& bundleDirectory)
{
    if (bundleDirectory.empty() || !fs::isDirectory(bundleDirectory))
        return {};
    auto* created = new Internal;
    created->path = bundleDirectory;
    return Bundle(created);
}

Bundle Bundle::forExecutable(const std::string& executablePath)
{
    std::string directory = executablePath;
    for (int i = 0; i < 3; ++i) {
        directory = fs::removeLastPathComponent(directory);
        if (directory.empty())
            return {};
    }
    auto* created = new Internal;
    created->path = directory;
    created->fixedExecutable = executablePath;
    return Bundle(created);
}

Bundle Bundle::forLoneExecutable(const std::string& executablePath)
{
    if (executablePath.empty() || fs::isDirectory(executablePath))
        return {};
    auto* created = new Internal;
    created->path = executablePath;
    created->fixedExecutable = executablePath;
    return Bundle(created);
}

Bundle Bundle::forAddress(const void* address)
{
    Dl_info info {};
    if (address == nullptr || ::dladdr(address, &info) == 0 || info.dli_fname == nullptr
        || info.dli_fname[0] == '\0')
        return {};
    // The loader reports the name the image was opened with, which may be relative or go through a
    // link; the real file is what sits inside the bundle next to its resources.
    std::string executable = fs::canonicalPath(info.dli_fname);
    if (executable.empty())
        executable = info.dli_fname;
    std::string directory = executable;
    for (int i = 0; i < 3; ++i) {
        directory = fs::removeLastPathComponent(directory);
        if (directory.empty())
            return {};
    }
    return fromPath(directory);
}

Bundle Bundle::getOwnBundle()
{
    return forAddress(reinterpret_cast<const void*>(&Bundle::getOwnBundle));
}

int Bundle::getReferenceCount() const noexcept
{
    return internal != nullptr ? internal->references.load(std::memory_order_relaxed) : 0;
}

std::string Bundle::getPath() const
{
    return internal != nullptr ? internal->path : std::string();
}

std::string Bundle::getInfoPlistPath() const
{
    if (internal == nullptr)
        return {};
    return fs::appendPathComponent(internal->path, "Contents/Info.plist");
}

cf::CFDictionaryRef Bundle::getInfoDictionary() const
{
    if (internal == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> lock(internal->reading);
    if (!internal->infoRead) {
        internal->infoRead = true;
        cf::CFPropertyListRef list = cf::createPropertyListFromFile(getInfoPlistPath());
        if (cf::CFGetTypeID(list) == cf::CFDictionaryGetTypeID())
            internal->info = static_cast<cf::CFDictionaryRef>(list);
        else
            cf::CFRelease(list);
    }
    return internal->info;
}

std::string Bundle::getIdentifier() const
{
    return stringFor(getInfoDictionary(), "CFBundleIdentifier");
}

std::string Bundle::getExecutablePath() const
{
    if (internal == nullptr)
        return {};
    if (!internal->fixedExecutable.empty())
        return internal->fixedExecutable;

    const std::string folder = fs::appendPathComponent(internal->path, "Contents/x86_64-linux");
    std::string name = stringFor(getInfoDictionary(), "CFBundleExecutable");
    if (name.empty())
        name = fs::lastPathComponentWithoutExtension(internal->path);   // a bundle without Info.plist
    if (!name.empty()) {
        for (const std::string& candidate : {name + ".so", name}) {
            const std::string path = fs::appendPathComponent(folder, candidate);
            if (fs::isRegularFile(path))
                return path;
        }
    }
    std::vector<std::string> libraries;
    if (fs::listDirectory(folder, "so", false, libraries) && libraries.size() == 1)
        return fs::appendPathComponent(folder, libraries.front());
    return {};
}

std::string Bundle::getResourcesPath() const
{
    if (internal == nullptr)
        return {};
    const std::string resources = fs::appendPathComponent(internal->path, "Contents/Resources");
    return fs::isDirectory(resources) ? resources : std::string();
}

bool Bundle::loadExecutable()
{
    if (internal == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(internal->loading);
    if (internal->handle != nullptr)
        return true;
    const std::string executable = getExecutablePath();
    if (executable.empty()) {
        internal->loadError = "no executable in bundle " + internal->path;
        return false;
    }
    internal->handle = ::dlopen(executable.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (internal->handle == nullptr) {
        const char* error = ::dlerror();
        internal->loadError = error != nullptr ? error : "dlopen failed for " + executable;
        return false;
    }
    internal->loadError.clear();
    return true;
}

bool Bundle::isExecutableLoaded() const noexcept
{
    if (internal == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(internal->loading);
    return internal->handle != nullptr;
}

void Bundle::unloadExecutable()
{
    if (internal == nullptr)
        return;
    std::lock_guard<std::mutex> lock(internal->loading);
    if (internal->handle != nullptr) {
        ::dlclose(internal->handle);
        internal->handle = nullptr;
    }
}

std::string Bundle::getLoadError() const
{
    if (internal == nullptr)
        return {};
    std::lock_guard<std::mutex> lock(internal->loading);
    return internal->loadError;
}

void* Bundle::getFunctionPointer(const char* name) const
{
    if (internal == nullptr || name == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> lock(internal->loading);
    if (internal->handle == nullptr)
        return nullptr;
    return ::dlsym(internal->handle, name);
}

bool Bundle::getResourcePathsOfType(const std::string& extension, std::vector<std::string>& paths,
                                    const std::string& subdirectory) const
{
    paths.clear();
    std::string folder = getResourcesPath();
    if (folder.empty())
        return false;
    if (!subdirectory.empty())
        folder = fs::appendPathComponent(folder, subdirectory);
    std::vector<std::string> names;
    if (!fs::listDirectory(folder, extension, false, names))
        return false;
    for (const std::string& name : names)
        paths.push_back(fs::appendPathComponent(folder, name));
    return true;
}

std::string Bundle::getResourcePath(const std::string& name, const std::string& extension) const
{
    const std::string folder = getResourcesPath();
    if (folder.empty() || name.empty())
        return {};
    const std::string path = fs::appendPathComponent(folder, extension.empty() ? name : name + "." + extension);
    return fs::exists(path) ? path : std::string();
}

} // namespace q9framework
