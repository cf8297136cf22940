#include "framework/core/ClassNameRegistry.h"

#include <cstdio>
#include <set>
#include <string>

namespace q9framework {

namespace {
std::set<std::string>& takenNames()
{
    static std::set<std::string> names;
    return names;
}
} // namespace

bool ClassNameRegistry::allocate(const String& name)
{
    if (name.isEmpty())
        return false;
    return takenNames().insert(name.toUTF8()).second;
}

bool ClassNameRegistry::isTaken(const String& name)
{
    return takenNames().count(name.toUTF8()) != 0;
}

String ClassNameRegistry::allocateNumbered(const String& prefix, uint64_t& counter)
{
    for (;;) {
        char number[24];
        std::snprintf(number, sizeof number, "%llx", static_cast<unsigned long long>(counter++));
        const String name = prefix + number;
        if (allocate(name))
            return name;
    }
}

} // namespace q9framework
