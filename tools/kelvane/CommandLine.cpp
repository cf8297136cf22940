#include "tools/kelvane/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kelvane {

namespace {

const OptionSpec* findSpec(const std::vector<OptionSpec>& specs, const std::string& name)
{
    for (const auto& spec : specs)
        if (spec.name == name)
            return &spec;
    return nullptr;
}

std::string formatBound(double v)
{
    std::string text = std::to_string(v);
    // to_string prints six decimals; a bound like 9 or -100 reads better without them.
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

bool CommandLine::parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, std::string& error)
{
    values.clear();
    positionals.clear();
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A lone "-" is a positional (conventionally stdin), and so is a negative number.
        const bool looksLikeOption = arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9') && arg[1] != '.';
        if (optionsEnded || !looksLikeOption) {
            positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string inlineValue;
        bool hasInlineValue = false;
        const size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
            hasInlineValue = true;
        }
        const OptionSpec* spec = findSpec(specs, name);
        if (spec == nullptr) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (spec->valueName.empty()) {
            if (hasInlineValue) {
                error = "option '" + name + "' takes no value";
                return false;
            }
            values[name] = "";
            continue;
        }
        if (!hasInlineValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + name + "' needs a value (" + spec->valueName + ")";
                return false;
            }
            inlineValue = args[++i];
        }
        values[name] = inlineValue;
    }
    return true;
}

std::string CommandLine::value(const std::string& name) const
{
    const auto it = values.find(name);
    return it == values.end() ? std::string() : it->second;
}

namespace {
// The one place the two option parsers' messages are worded: a text that is no number of the kind
// asked for, or a number outside the range.
template <typename T>
bool acceptParsed(const std::string& optionName, const std::string& text, bool parsed, T v, T minimum, T maximum,
                  const std::string& kind, const std::string& range, T& out, std::string& error)
{
    if (!parsed) {
        error = "option '" + optionName + "' expects " + kind + " from " + range + ", got '" + text + "'";
        return false;
    }
    if (v < minimum || v > maximum) {
        error = "option '" + optionName + "' is out of range: " + text + " is not within " + range;
        return false;
    }
    out = v;
    return true;
}
} // namespace

bool parseNumberOption(const std::string& optionName, const std::string& text, double minimum, double maximum,
                       const std::string& unit, double& out, std::string& error)
{
    const std::string range = formatBound(minimum) + " to " + formatBound(maximum) + (unit.empty() ? "" : " " + unit);
    char* end = nullptr;
    errno = 0;
    const double v = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
    const bool parsed = !text.empty() && end != nullptr && *end == '\0' && errno == 0 && std::isfinite(v);
    return acceptParsed(optionName, text, parsed, v, minimum, maximum, "a number", range, out, error);
}

bool parseIntegerOption(const std::string& optionName, const std::string& text, long minimum, long maximum, long& out,
                        std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const long v = text.empty() ? 0 : std::strtol(text.c_str(), &end, 10);
    const std::string range = std::to_string(minimum) + " to " + std::to_string(maximum);
    const bool parsed = !text.empty() && end != nullptr && *end == '\0' && errno == 0;
    return acceptParsed(optionName, text, parsed, v, minimum, maximum, "a whole number", range, out, error);
}

std::string describeOptions(const std::vector<OptionSpec>& specs)
{
    std::string text;
    for (const auto& spec : specs) {
        std::string left = "  " + spec.name + (spec.valueName.empty() ? "" : " " + spec.valueName);
        if (left.size() < 30)
            left.resize(30, ' ');
        else
            left += "  ";
        text += left + spec.help + "\n";
    }
    return text;
}

} // namespace kelvane
