#pragma once

#include <map>
#include <string>
#include <vector>

namespace kelvane {

/** One option a sub-command accepts: "--name VALUE" (or "--name=VALUE"), or a plain "--name" switch. */
struct OptionSpec {
    std::string name;                        // with its dashes: "--gain", "-o"
    std::string valueName;                   // empty for a switch; shown in the help: "DB", "PNG"
    std::string help;                        // one line
};

/** The parsed arguments of one sub-command. Parsing never throws: `parse` reports the first problem
    as a sentence for the user ("unknown option '--foo'", "option '--gain' needs a value").
    "--" ends the options; everything after it is positional. */
class CommandLine {
public:
    [[nodiscard]] bool parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                             std::string& error);

    bool has(const std::string& name) const { return values.count(name) != 0; }
    /** The value of an option given with a value; empty when absent. The last occurrence wins. */
    std::string value(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positionals; }

private:
    std::map<std::string, std::string> values;
    std::vector<std::string> positionals;
};

/** Reads a whole decimal number (no trailing text, finite) within [minimum, maximum]. On failure sets
    `error` to a sentence naming the option, the accepted range with `unit`, and what was typed. */
[[nodiscard]] bool parseNumberOption(const std::string& optionName, const std::string& text, double minimum,
                                     double maximum, const std::string& unit, double& out, std::string& error);

/** Whole number in [minimum, maximum], same reporting. */
[[nodiscard]] bool parseIntegerOption(const std::string& optionName, const std::string& text, long minimum,
                                      long maximum, long& out, std::string& error);

/** The options of `specs` laid out for a help text, one per line, indented. */
std::string describeOptions(const std::vector<OptionSpec>& specs);

} // namespace kelvane
