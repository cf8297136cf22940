#include "auwrapper/ParameterFile.h"
#include "framework/core/NumberText.h"

#include "auwrapper/ResourceText.h"
#include "auwrapper/vsthost/TandrilException.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace q9framework {

namespace {



/** A whole decimal number with an optional sign, nothing else. */
bool readIndex(const std::string& text, int32_t& out)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || value < INT32_MIN || value > INT32_MAX)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

} // namespace

std::vector<std::string> ParameterLine::valueNames() const
{
    std::vector<std::string> names;
    if (kind == "=" || kind == "?" || kind == "b" || kind == "i")
        return names;
    size_t start = 0;
    for (;;) {
        const size_t bar = kind.find('|', start);
        names.push_back(kind.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return names;
}

bool scanParameterLine(const std::string& line, ParameterLine& out)
{
    char indexText[33] = {};
    char name[256] = {};
    char kind[1024] = {};
    char unit[256] = {};
    float minimum = 0.0f, maximum = 0.0f, defaultValue = 0.0f;
    int fields = 0;
    {
        const q9framework::NumberText::ScopedCLocale cLocale;
        fields = std::sscanf(line.c_str(), "%32s%*[\t]%255[^\t]%*[\t]%f%*[\t]%f%*[\t]%1023[^\t]%*[\t]%255[^\t]%*[\t]%f",
                             indexText, name, &minimum, &maximum, kind, unit, &defaultValue);
    }
    if (fields != 7)
        return false;

    std::string index(indexText);
    out.globalMeta = !index.empty() && index.back() == '+';
    if (out.globalMeta)
        index.pop_back();
    if (!readIndex(index, out.index))
        return false;
    out.name = name;
    out.minValue = minimum;
    out.maxValue = maximum;
    out.kind = skipLeadingSpaces(kind);
    out.unitName = unit;
    out.defaultValue = defaultValue;
    return true;
}

std::vector<ParameterLine> parseParameterFile(const std::string& text, int32_t numParams)
{
    std::vector<ParameterLine> used;
    std::vector<bool> described(numParams > 0 ? static_cast<size_t>(numParams) : 0, false);
    const std::vector<std::string> lines = splitResourceLines(text);
    for (size_t n = 1; n < lines.size(); ++n) {           // line 0 is the column header
        const std::string line = skipLeadingSpaces(lines[n]);
        if (isCommentLine(line))
            continue;
        ParameterLine parsed;
        if (!scanParameterLine(line, parsed))
            continue;
        // Written as negations so that a NaN in any number column fails the line.
        if (parsed.index < 0 || parsed.index >= numParams || !(parsed.minValue < parsed.maxValue)
            || !(parsed.minValue <= parsed.defaultValue) || !(parsed.defaultValue <= parsed.maxValue)
            || parsed.kind.empty() || described[static_cast<size_t>(parsed.index)])
            continue;
        if (used.size() == static_cast<size_t>(maxMappedParameters))
            throw TandrilException("Too many mapped parameters");
        described[static_cast<size_t>(parsed.index)] = true;
        used.push_back(std::move(parsed));
    }
    return used;
}

} // namespace q9framework
