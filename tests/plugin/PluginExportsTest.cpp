// The built module exports its entry points and nothing else: no framework class, no C++ runtime
// symbol, so another plug-in on the same framework in the same host cannot bind to ours.
#include "LoadedPlugin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> readLines(const char* path)
{
    std::set<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        if (!line.empty())
            lines.insert(line);
    return lines;
}

/** The names `nm -D --defined-only` prints for a file (third column). */
std::set<std::string> definedDynamicSymbols(const std::string& path)
{
    std::set<std::string> names;
    const std::string command = "nm -D --defined-only '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return names;
    char line[1024];
    while (std::fgets(line, sizeof(line), pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name)
            names.insert(name);
    }
    pclose(pipe);
    return names;
}

} // namespace

TEST(PluginExportsTest, TheModuleExportsExactlyTheEntryPointList)
{
    const std::set<std::string> expected = readLines(KELVANE_EXPORTS_LIST);
    for (const char* name : {"VSTPluginMain", "main_macho", "CreateEngine", "main"})
        EXPECT_EQ(expected.count(name), 1u) << name << " is missing from the export list";

    const std::set<std::string> exported = definedDynamicSymbols(PluginModule::path());
    EXPECT_EQ(exported, expected);
}

// The C++ runtime is linked in, and no library the module loads may bring the shared one back (TinyXML
// would): two runtimes in one process free each other's strings.
TEST(PluginExportsTest, NothingTheModuleLoadsNeedsASharedCppRuntime)
{
    const std::string command = std::string("ldd '") + PluginModule::path() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string loaded;
    char line[1024];
    while (std::fgets(line, sizeof(line), pipe) != nullptr)
        loaded += line;
    pclose(pipe);
    EXPECT_NE(loaded.find("libc.so"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("libstdc++"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("libgcc_s"), std::string::npos) << loaded;
}
