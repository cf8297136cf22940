#include "tools/kelvane/SubCommand.h"

#include <algorithm>

namespace kelvane {

namespace {
// Function-local, so registrations from other translation units never see it unconstructed.
std::vector<SubCommand>& table()
{
    static std::vector<SubCommand> commands;
    return commands;
}
} // namespace

void SubCommandTable::add(const SubCommand& command) { table().push_back(command); }

std::vector<SubCommand> SubCommandTable::all()
{
    std::vector<SubCommand> sorted = table();
    std::sort(sorted.begin(), sorted.end(), [](const SubCommand& a, const SubCommand& b) { return a.name < b.name; });
    return sorted;
}

const SubCommand* SubCommandTable::find(const std::string& name)
{
    for (const auto& command : table())
        if (command.name == name)
            return &command;
    return nullptr;
}

} // namespace kelvane
