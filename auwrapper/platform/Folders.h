#pragma once

// Folder lookup and whole-file input and output for the Audio Unit wrapper, with the Mac's status
// codes, which the wrapper passes on to its host unchanged.
//
// The audio support folder of a domain ("adio" on the Mac, ~/Library/Audio and /Library/Audio):
//   user domain:  $KELVANE_AUDIO_USER_DIR  if set and not empty, else ${XDG_DATA_HOME:-~/.local/share}/Audio
//                 (XDG_DATA_HOME counts only when it is an absolute path, as the XDG rules say)
//   local domain: $KELVANE_AUDIO_LOCAL_DIR if set and not empty, else /usr/local/share/Audio
// The two environment variables exist so tests and curious users can point the wrapper at a scratch
// tree; they are read on every call.
//
// File types do not exist here: only extensions count. A name starting with "." is invisible.
// Nothing here throws; all of it is for the main thread (it touches the file system).

#include "auwrapper/platform/AudioUnitInterface.h"

#include <string>
#include <vector>

namespace q9framework {

enum class FolderDomain { user, local };

/** The path of the domain's audio support folder (see above), whether or not it exists. Empty only
    when the user domain has neither an override, XDG_DATA_HOME nor a home folder. */
std::string audioSupportFolderPath(FolderDomain domain);

/** Finds the domain's audio support folder: noErr and its path when it is a folder; with `create`,
    a missing folder (and its parents) is made first. Without `create` a missing folder is fnfErr. */
OSStatus findAudioSupportFolder(FolderDomain domain, bool create, std::string& path);

/** Finds `name` inside `parent`, creating it when missing: noErr and its path, or the file system's
    status (dirNFErr when `parent` is missing, dupFNErr when `name` is a file, permErr, ...).
    `parent` and `path` may be the same string, to walk down a chain of folders. */
OSStatus findOrCreateSubfolder(const std::string& parent, const std::string& name, std::string& path);

/** Creates one folder (its parent must exist): noErr, dupFNErr when something of that name exists,
    or the file system's status. */
OSStatus createFolder(const std::string& path);

/** Creates an empty file (its folder must exist): noErr, dupFNErr when something of that name
    exists (which is left untouched), or the file system's status. */
OSStatus createFile(const std::string& path);

/** Deletes a file: noErr, fnfErr when there is none, or the file system's status. */
OSStatus deleteFile(const std::string& path);

/** The Mac status for an errno value: fnfErr, permErr, dupFNErr, tmfoErr, dirNFErr, memFullErr,
    dskFulErr (-34), wrPermErr (-61) or ioErr for anything else; noErr for 0. */
OSStatus statusFromErrno(int error);

/** The visible plain files in `folder` (names, sorted); aliases count when they lead to a plain file.
    noErr, or the status of opening the folder. */
OSStatus listVisibleFiles(const std::string& folder, std::vector<std::string>& names);

/** Reads the whole file. noErr, or the file system's status (fnfErr when missing). */
OSStatus readWholeFile(const std::string& path, std::vector<UInt8>& bytes);

/** Writes the whole file. With `exclusive` the file must not exist yet (dupFNErr if it does, and it
    is left untouched), otherwise it is replaced. A failed write removes what it created. */
OSStatus writeWholeFile(const std::string& path, const void* bytes, size_t length, bool exclusive);

} // namespace q9framework
