#pragma once

// The wrapper's text resources ("TDParameters.txt", "TDFactoryPresets.txt") and preset files: read
// whole, split into lines the way the Mac text files of these bundles may be written.

#include <cstdint>
#include <string>
#include <vector>

namespace q9framework {

/** Lines end at LF, at CR or at CR LF; a line longer than `maxLineLength` keeps its first
    `maxLineLength` characters, the rest is dropped. A final line without an end counts; a text
    ending in a line end has no empty line after it. */
std::vector<std::string> splitResourceLines(const std::string& text, size_t maxLineLength = 2047);

/** The line without the spaces it starts with. */
std::string skipLeadingSpaces(const std::string& line);

/** A comment or blank line of the resource files: nothing after the leading spaces, or ";" first. */
bool isCommentLine(const std::string& lineWithoutLeadingSpaces);

/** The whole file as text, through the platform's file reading. Throws MacOSException with the file
    system's status (fnfErr -43 when it does not exist), which the open passes on to the host. */
std::string readResourceText(const std::string& path);
std::vector<uint8_t> readFileBytes(const std::string& path);

} // namespace q9framework
