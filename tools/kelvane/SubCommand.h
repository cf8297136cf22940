#pragma once

#include <string>
#include <vector>

namespace kelvane {

/** One sub-command of the `kelvane` program ("render", "info", …).
    A sub-command lives in a source file of its own compiled into the `kelvane` executable and adds
    itself to the table with a file-scope SubCommandRegistration, so a new one needs no change to
    main() or to the other commands:

        static int runFoo(const std::vector<std::string>& args);
        static const SubCommandRegistration registration({"foo", "foo [--bar N]", "does foo", runFoo});

    `run` gets the arguments after the sub-command's name, prints its own output and errors
    (errors start with "kelvane <name>: ") and returns the process exit status: 0 success, 1 a
    failure while working, 2 bad arguments. */
struct SubCommand {
    std::string name;
    std::string synopsis;                    // usage line without the program name
    std::string summary;                     // one line for `kelvane --help`
    int (*run)(const std::vector<std::string>& args) = nullptr;
    void (*printHelp)() = nullptr;           // `kelvane <name> --help`; null: synopsis and summary only
};

/** The process-wide table of sub-commands, filled during static initialisation. */
class SubCommandTable {
public:
    static void add(const SubCommand& command);
    /** Sorted by name, so the help text does not depend on link order. */
    static std::vector<SubCommand> all();
    /** Null when there is no sub-command of that name. */
    static const SubCommand* find(const std::string& name);
};

struct SubCommandRegistration {
    explicit SubCommandRegistration(const SubCommand& command) { SubCommandTable::add(command); }
};

/** Exit statuses shared by the sub-commands. */
enum ExitStatus { exitSuccess = 0, exitFailure = 1, exitUsage = 2 };

} // namespace kelvane
