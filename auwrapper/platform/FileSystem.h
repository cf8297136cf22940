#pragma once

// Path and directory helpers for the Audio Unit layer: what the wrapper would get from file references,
// aliases and directory enumeration on the Mac. Plain POSIX calls, no display, no exceptions.
//
// An alias is a symbolic link (Finder aliases do not exist here). File types do not exist either: only
// the extension counts, and a name starting with "." is invisible.

#include <string>
#include <vector>

namespace q9framework {
namespace fs {

/** The text after the last "/" (the whole path when there is none); trailing slashes are ignored. */
std::string lastPathComponent(const std::string& path);

/** The path without its last component and without trailing slashes: "/a/b/c" -> "/a/b", "/a" -> "/",
    "/" -> "" and "name" -> "". Empty means there was nothing left to remove. */
std::string removeLastPathComponent(const std::string& path);

/** `directory` + "/" + `name`, without doubling a slash already there. */
std::string appendPathComponent(const std::string& directory, const std::string& name);

/** The extension of the last component without its dot: "Kelvane.vst" -> "vst", ".hidden" -> "",
    "name." -> "". */
std::string pathExtension(const std::string& path);

/** The last component without its extension and dot. */
std::string lastPathComponentWithoutExtension(const std::string& path);

bool isDirectory(const std::string& path);     // follows symbolic links
bool isRegularFile(const std::string& path);   // follows symbolic links
bool exists(const std::string& path);          // follows symbolic links: a dangling alias does not exist
bool isAlias(const std::string& path);         // a symbolic link, whether or not its target exists

/** Follows an alias chain to the item it finally names (a relative link is read against the folder of
    the link). A path that is no alias comes back unchanged. Empty when the chain is broken or longer
    than 32 links (a loop). */
std::string resolveAlias(const std::string& path);

/** The absolute, link-free form of an existing path; empty when it does not exist. */
std::string canonicalPath(const std::string& path);

/** The names in `directory` (not paths), sorted bytewise so every listing is reproducible.
    `extension` empty lists everything, otherwise only names whose extension equals it exactly.
    Invisible names (leading ".") are left out unless `includeInvisible`. Returns false and leaves
    `names` empty when the directory cannot be read. */
bool listDirectory(const std::string& directory, const std::string& extension, bool includeInvisible,
                   std::vector<std::string>& names);

/** Creates the directory and any missing parents (mode 0755). True if it exists afterwards. */
bool createDirectories(const std::string& path);

} // namespace fs
} // namespace q9framework
