#include "auwrapper/platform/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace q9framework {
namespace fs {

namespace {

std::string withoutTrailingSlashes(const std::string& path)
{
    std::string::size_type end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    return path.substr(0, end);
}

} // namespace

std::string lastPathComponent(const std::string& path)
{
    const std::string trimmed = withoutTrailingSlashes(path);
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos || trimmed == "/")
        return trimmed;
    return trimmed.substr(slash + 1);
}

std::string removeLastPathComponent(const std::string& path)
{
    const std::string trimmed = withoutTrailingSlashes(path);
    if (trimmed.empty() || trimmed == "/")
        return {};
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return withoutTrailingSlashes(trimmed.substr(0, slash));
}

std::string appendPathComponent(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

std::string pathExtension(const std::string& path)
{
    const std::string name = lastPathComponent(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    return name.substr(dot + 1);
}

std::string lastPathComponentWithoutExtension(const std::string& path)
{
    const std::string name = lastPathComponent(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return name;
    return name.substr(0, dot);
}

bool isDirectory(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool isAlias(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::string resolveAlias(const std::string& path)
{
    // The same limit the kernel puts on nested links, so a loop ends as a broken alias.
    constexpr int maximumLinks = 32;
    std::string current = path;
    for (int links = 0; links <= maximumLinks; ++links) {
        if (!isAlias(current))
            return exists(current) ? current : std::string();
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof(target) - 1);
        if (length <= 0)
            return {};
        target[length] = '\0';
        if (target[0] == '/')
            current = target;
        else
            current = appendPathComponent(removeLastPathComponent(current), target);
    }
    return {};
}

std::string canonicalPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool listDirectory(const std::string& directory, const std::string& extension, bool includeInvisible,
                   std::vector<std::string>& names)
{
    names.clear();
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (!includeInvisible && name[0] == '.')
            continue;
        if (!extension.empty() && pathExtension(name) != extension)
            continue;
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

bool createDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    if (isDirectory(path))
        return true;
    const std::string parent = removeLastPathComponent(path);
    if (!parent.empty() && !createDirectories(parent))
        return false;
    return ::mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && isDirectory(path));
}

} // namespace fs
} // namespace q9framework
