#include "auwrapper/ResourceText.h"

#include "auwrapper/TandrilErrors.h"

#include "auwrapper/platform/Folders.h"

namespace q9framework {

std::vector<std::string> splitResourceLines(const std::string& text, size_t maxLineLength)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        const bool terminated = end != std::string::npos;
        if (!terminated)
            end = text.size();
        lines.push_back(text.substr(start, std::min(end - start, maxLineLength)));
        if (!terminated)
            break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string skipLeadingSpaces(const std::string& line)
{
    const size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first);
}

bool isCommentLine(const std::string& lineWithoutLeadingSpaces)
{
    return lineWithoutLeadingSpaces.empty() || lineWithoutLeadingSpaces[0] == ';';
}

std::vector<uint8_t> readFileBytes(const std::string& path)
{
    std::vector<UInt8> bytes;
    throwIfError(readWholeFile(path, bytes));
    return bytes;
}

std::string readResourceText(const std::string& path)
{
    const std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace q9framework
