// The built bundle as a host and the Audio Unit side see it: the module's exported symbols and what it
// loads, and the Info.plist that names it.
#include "LoadedPlugin.h"
#include "effect/KVSharedResources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
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

// Entry points and nothing else: no framework class, no C++ runtime symbol, so another plug-in on the
// same framework in the same host cannot bind to ours.
TEST(PluginBundleTest, TheModuleExportsExactlyTheEntryPointList)
{
    const std::set<std::string> expected = readLines(KELVANE_EXPORTS_LIST);
    for (const char* name : {"VSTPluginMain", "main_macho", "CreateEngine", "main"})
        EXPECT_EQ(expected.count(name), 1u) << name << " is missing from the export list";

    const std::set<std::string> exported = definedDynamicSymbols(PluginModule::path());
    EXPECT_EQ(exported, expected);
}

// The C++ runtime is linked in, and no library the module loads may bring the shared one back (TinyXML
// would): two runtimes in one process free each other's strings.
TEST(PluginBundleTest, NothingTheModuleLoadsNeedsASharedCppRuntime)
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
#ifdef KELVANE_SANITIZED
    // The sanitizer runtimes the instrumented module links load the shared C++ runtime themselves.
    (void) loaded;
#else
    EXPECT_EQ(loaded.find("libstdc++"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("libgcc_s"), std::string::npos) << loaded;
#endif
}

namespace {

/** The string that follows <key>key</key> in a property list text; empty when the key is absent. */
std::string plistString(const std::string& plist, const std::string& key)
{
    const std::string keyTag = "<key>" + key + "</key>";
    const size_t at = plist.find(keyTag);
    if (at == std::string::npos)
        return {};
    const size_t open = plist.find("<string>", at + keyTag.size());
    const size_t close = plist.find("</string>", open);
    if (open == std::string::npos || close == std::string::npos)
        return {};
    return plist.substr(open + 8, close - open - 8);
}

} // namespace

TEST(PluginBundleTest, InfoPlistNamesTheModuleAndTheBundleTheEffectLoadsFrom)
{
    std::ifstream file(std::string(KELVANE_BUNDLE_DIR) + "/Contents/Info.plist");
    ASSERT_TRUE(file.good());
    const std::string plist((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    const std::string modulePath = PluginModule::path();
    const std::string moduleName = modulePath.substr(modulePath.rfind('/') + 1);
    EXPECT_EQ(plistString(plist, "CFBundleExecutable") + ".so", moduleName);
    // The effect finds its resource pack by this identifier; a mismatch would leave the editor bare.
    EXPECT_EQ(plistString(plist, "CFBundleIdentifier"), KVSharedResources::bundleIdentifier());
    EXPECT_EQ(plistString(plist, "CFBundleShortVersionString"), "2.5.3");
    EXPECT_EQ(plistString(plist, "CFBundlePackageType"), "BNDL");
    EXPECT_NE(plist.find("</dict>\n</plist>"), std::string::npos) << "the template's extra entries broke the end";
}
