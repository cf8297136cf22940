// File URLs: nothing but a POSIX path and whether it names a folder. The wrapper uses URLs only to walk
// from its executable up to its bundle, to name resources and to tell the host where the view lives.

#include "auwrapper/platform/CFValues.h"

#include "auwrapper/platform/CFValuesInternal.h"
#include "auwrapper/platform/FileSystem.h"

#include <cstring>

namespace q9framework {
namespace cf {

namespace {

const CFURL* urlOf(CFTypeRef ref)
{
    return as<CFURL>(ref, Kind::url);
}

CFURLRef newURL(std::string path, bool isDirectory)
{
    if (path.empty())
        return nullptr;
    auto* url = new CFURL;
    url->path = std::move(path);
    url->isDirectory = isDirectory;
    return url;
}

} // namespace

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* path, CFIndex length, Boolean isDirectory)
{
    if (path == nullptr || length <= 0)
        return nullptr;
    return newURL(std::string(reinterpret_cast<const char*>(path), static_cast<size_t>(length)), isDirectory);
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef path, CFURLPathStyle style, Boolean isDirectory)
{
    if (style != kCFURLPOSIXPathStyle)
        return nullptr;
    return newURL(toStdString(path), isDirectory);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef ref, Boolean, UInt8* buffer, CFIndex maxLength)
{
    const CFURL* url = urlOf(ref);
    if (url == nullptr || buffer == nullptr || maxLength <= 0 || static_cast<CFIndex>(url->path.size()) + 1 > maxLength)
        return false;
    std::memcpy(buffer, url->path.c_str(), url->path.size() + 1);
    return true;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef ref, CFURLPathStyle style)
{
    const CFURL* url = urlOf(ref);
    if (url == nullptr || style != kCFURLPOSIXPathStyle)
        return nullptr;
    return createString(url->path);
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef ref)
{
    const CFURL* url = urlOf(ref);
    return url != nullptr ? createString(fs::lastPathComponent(url->path)) : nullptr;
}

CFStringRef CFURLCopyPathExtension(CFURLRef ref)
{
    const CFURL* url = urlOf(ref);
    if (url == nullptr)
        return nullptr;
    const std::string extension = fs::pathExtension(url->path);
    return extension.empty() ? nullptr : createString(extension);
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef ref)
{
    const CFURL* url = urlOf(ref);
    if (url == nullptr)
        return nullptr;
    return newURL(fs::removeLastPathComponent(url->path), true);
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef ref, CFStringRef component, Boolean isDirectory)
{
    const CFURL* url = urlOf(ref);
    const std::string name = toStdString(component);
    if (url == nullptr || name.empty())
        return nullptr;
    return newURL(fs::appendPathComponent(url->path, name), isDirectory);
}

std::string pathOf(CFURLRef ref)
{
    const CFURL* url = urlOf(ref);
    return url != nullptr ? url->path : std::string();
}

} // namespace cf
} // namespace q9framework
