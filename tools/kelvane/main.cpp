// kelvane: the Kelvane plug-in from the command line, loaded from its .so as a VST host loads it.

#include "tools/kelvane/SubCommand.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void printHelp()
{
    std::printf("kelvane - the Kelvane transient shaper from the command line\n\n"
                "usage: kelvane <command> [options]\n"
                "       kelvane <command> --help\n\ncommands:\n");
    for (const auto& command : kelvane::SubCommandTable::all())
        std::printf("  %-10s %s\n", command.name.c_str(), command.summary.c_str());
    std::printf("\nThe plug-in is the bundle given with --plugin, else the one this program was built with,\n"
                "else ~/.vst/Kelvane.vst.\n");
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printHelp();
        return kelvane::exitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp();
        return kelvane::exitSuccess;
    }
    const kelvane::SubCommand* command = kelvane::SubCommandTable::find(args[0]);
    if (command == nullptr) {
        std::fprintf(stderr, "kelvane: unknown command '%s' (see kelvane --help)\n", args[0].c_str());
        return kelvane::exitUsage;
    }
    return command->run(std::vector<std::string>(args.begin() + 1, args.end()));
}
