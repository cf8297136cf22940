#include "auwrapper/ResourceText.h"

#include "auwrapper/TandrilErrors.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace q9framework {

namespace {

constexpr int32_t ioErr = -36;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

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

std::vector<uint8_t> readWholeFileBytes(const std::string& path)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw MacOSException(errno == ENOENT || errno == ENOTDIR ? statusFileNotFound : ioErr);
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (;;) {
        const size_t got = std::fread(block, 1, sizeof block, file.get());
        bytes.insert(bytes.end(), block, block + got);
        if (got < sizeof block)
            break;
    }
    if (std::ferror(file.get()))
        throw MacOSException(ioErr);
    return bytes;
}

std::string readWholeFile(const std::string& path)
{
    const std::vector<uint8_t> bytes = readWholeFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace q9framework
