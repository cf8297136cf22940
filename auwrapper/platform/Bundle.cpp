// Bundles on Linux: a directory tree, a dlopen handle and a reference count. Finding the own bundle
// uses dladdr instead of walking the loaded images, which Linux does not offer in the Mac's form; the
// result is the same: the directory three components above the executable.

#include "auwrapper/platform/Bundle.h"

#include "auwrapper/platform/FileSystem.h"

#include <dlfcn.h>
#include <plist/plist.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>

namespace q9framework {

namespace {

// CFBundleExecutable of an Info.plist, or empty when the file, the key or its string is missing.
std::string executableNameFromInfo(const std::string& infoPlistPath)
{
    std::ifstream file(infoPlistPath, std::ios::binary);
    if (!file)
        return {};
    const std::string xml((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    std::string name;
    if (root != nullptr && plist_get_node_type(root) == PLIST_DICT) {
        plist_t value = plist_dict_get_item(root, "CFBundleExecutable");
        if (value != nullptr && plist_get_node_type(value) == PLIST_STRING) {
            char* text = nullptr;
            plist_get_string_val(value, &text);
            if (text != nullptr)
                name = text;
            std::free(text);
        }
    }
    plist_free(root);
    return name;
}

} // namespace

struct Bundle::Internal {
    std::atomic<int> references{1};
    std::string path;
    std::string fixedExecutable;   // set by forExecutable; otherwise found through Info.plist
    std::mutex loading;            // guards handle and loadError
    void* handle = nullptr;
    std::string loadError;

    ~Internal()
    {
        if (handle != nullptr)
            ::dlclose(handle);
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

std::string Bundle::getExecutablePath() const
{
    if (internal == nullptr)
        return {};
    if (!internal->fixedExecutable.empty())
        return internal->fixedExecutable;

    const std::string folder = fs::appendPathComponent(internal->path, "Contents/x86_64-linux");
    const std::string name = executableNameFromInfo(getInfoPlistPath());
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
