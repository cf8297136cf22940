// Folders and files with POSIX calls. The Mac's folder manager is replaced by two fixed locations and
// their environment overrides; its status codes are kept, since the wrapper hands them to the host.

#include "auwrapper/platform/Folders.h"

#include "auwrapper/platform/FileSystem.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace q9framework {

namespace {

constexpr OSStatus dskFulErr = -34;
constexpr OSStatus wrPermErr = -61;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()))
        if (entry->pw_dir != nullptr)
            return entry->pw_dir;
    return {};
}

} // namespace

std::string audioSupportFolderPath(FolderDomain domain)
{
    if (domain == FolderDomain::local) {
        const std::string overridden = environment("KELVANE_AUDIO_LOCAL_DIR");
        return overridden.empty() ? "/usr/local/share/Audio" : overridden;
    }
    const std::string overridden = environment("KELVANE_AUDIO_USER_DIR");
    if (!overridden.empty())
        return overridden;
    const std::string dataHome = environment("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome[0] == '/')
        return fs::appendPathComponent(dataHome, "Audio");
    const std::string home = homeFolder();
    return home.empty() ? std::string() : fs::appendPathComponent(home, ".local/share/Audio");
}

OSStatus findAudioSupportFolder(FolderDomain domain, bool create, std::string& path)
{
    path.clear();
    const std::string folder = audioSupportFolderPath(domain);
    if (folder.empty())
        return fnfErr;
    if (!fs::isDirectory(folder)) {
        if (!create)
            return fs::exists(folder) ? dupFNErr : fnfErr;
        if (!fs::createDirectories(folder))
            return statusFromErrno(errno);
    }
    path = folder;
    return noErr;
}

OSStatus findOrCreateSubfolder(const std::string& parentPath, const std::string& name, std::string& path)
{
    const std::string parent = parentPath;   // `path` may be the caller's parent variable
    path.clear();
    if (!fs::isDirectory(parent))
        return dirNFErr;
    if (name.empty() || name.find('/') != std::string::npos)
        return paramErr;
    const std::string folder = fs::appendPathComponent(parent, name);
    if (!fs::isDirectory(folder)) {
        const OSStatus status = createFolder(folder);
        if (status != noErr)
            return status;
    }
    path = folder;
    return noErr;
}

OSStatus createFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0755) == 0 ? noErr : statusFromErrno(errno);
}

OSStatus createFile(const std::string& path)
{
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0)
        return statusFromErrno(errno);
    return ::close(file) == 0 ? noErr : statusFromErrno(errno);
}

OSStatus deleteFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? noErr : statusFromErrno(errno);
}

OSStatus statusFromErrno(int error)
{
    switch (error) {
    case 0: return noErr;
    case ENOENT: return fnfErr;
    case ENOTDIR: return dirNFErr;
    case EACCES:
    case EPERM: return permErr;
    case EROFS: return wrPermErr;
    case EEXIST: return dupFNErr;
    case EMFILE:
    case ENFILE: return tmfoErr;
    case ENOMEM: return memFullErr;
    case ENOSPC:
    case EDQUOT: return dskFulErr;
    default: return ioErr;
    }
}

OSStatus listVisibleFiles(const std::string& folder, std::vector<std::string>& names)
{
    names.clear();
    std::vector<std::string> all;
    if (!fs::listDirectory(folder, {}, false, all))
        return fs::exists(folder) ? statusFromErrno(EACCES) : fnfErr;
    for (const std::string& name : all)
        if (fs::isRegularFile(fs::appendPathComponent(folder, name)))
            names.push_back(name);
    return noErr;
}

OSStatus readWholeFile(const std::string& path, std::vector<UInt8>& bytes)
{
    bytes.clear();
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return statusFromErrno(errno);
    OSStatus status = noErr;
    UInt8 block[65536];
    for (;;) {
        const ssize_t got = ::read(file, block, sizeof(block));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            status = errno == EISDIR ? fnfErr : statusFromErrno(errno);
            break;
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), block, block + got);
    }
    ::close(file);
    if (status != noErr)
        bytes.clear();
    return status;
}

OSStatus writeWholeFile(const std::string& path, const void* bytes, size_t length, bool exclusive)
{
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    const int file = ::open(path.c_str(), flags, 0644);
    if (file < 0)
        return statusFromErrno(errno);
    const auto* next = static_cast<const char*>(bytes);
    size_t left = bytes != nullptr ? length : 0;
    OSStatus status = noErr;
    while (left > 0) {
        const ssize_t written = ::write(file, next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            status = statusFromErrno(errno);
            break;
        }
        next += written;
        left -= static_cast<size_t>(written);
    }
    if (::close(file) != 0 && status == noErr)
        status = statusFromErrno(errno);
    if (status != noErr)
        deleteFile(path);
    return status;
}

} // namespace q9framework
