#include "tools/kelvane/PluginLocator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kelvane;
namespace fs = std::filesystem;

namespace {

class PluginLocator : public ::testing::Test {
protected:
    // One folder per test: ctest runs the tests of this fixture in parallel processes.
    fs::path root = fs::path(::testing::TempDir()) / ("kelvane-locator-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));

    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path makeFile(const fs::path& relative)
    {
        const fs::path p = root / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "x";
        return p;
    }
};

} // namespace

TEST_F(PluginLocator, FindsTheExecutableOfABundleOrTakesASharedObject)
{
    const fs::path so = makeFile("Kelvane.vst/Contents/x86_64-linux/Kelvane.so");
    makeFile("Kelvane.vst/Contents/x86_64-linux/Helper.so");
    PluginLocation location;
    std::string error;

    ASSERT_TRUE(locatePlugin((root / "Kelvane.vst").string(), location, error)) << error;
    EXPECT_EQ(location.executablePath, so.string()) << "the one named after the bundle, among several";
    EXPECT_EQ(location.bundlePath, (root / "Kelvane.vst").string());

    ASSERT_TRUE(locatePlugin(so.string(), location, error)) << error;
    EXPECT_EQ(location.bundlePath, (root / "Kelvane.vst").string()) << "a .so inside a bundle knows its bundle";

    const fs::path loose = makeFile("loose/Other.so");
    ASSERT_TRUE(locatePlugin(loose.string(), location, error));
    EXPECT_EQ(location.bundlePath, "");
}

TEST_F(PluginLocator, RefusesABundleWithSeveralExecutablesAndNoneNamedAfterIt)
{
    makeFile("Two.vst/Contents/x86_64-linux/A.so");
    makeFile("Two.vst/Contents/x86_64-linux/B.so");
    PluginLocation location;
    std::string error;
    EXPECT_FALSE(locatePlugin((root / "Two.vst").string(), location, error));
    EXPECT_EQ(error, "plug-in '" + (root / "Two.vst").string()
                         + "' is not a bundle with one executable in Contents/x86_64-linux (several .so files found there)");
}

TEST_F(PluginLocator, DefaultsToTheBuiltBundleThenTheUsersVstFolder)
{
    const fs::path home = root / "home";
    const fs::path installed = makeFile("home/.vst/Kelvane.vst/Contents/x86_64-linux/Kelvane.so");
    const fs::path built = makeFile("build/Kelvane.vst/Contents/x86_64-linux/Kelvane.so");
    PluginLocation location;
    std::string error;
    ASSERT_TRUE(locateDefaultPlugin((root / "build/Kelvane.vst").string(), home.string(), location, error));
    EXPECT_EQ(location.executablePath, built.string());
    ASSERT_TRUE(locateDefaultPlugin((root / "gone/Kelvane.vst").string(), home.string(), location, error));
    EXPECT_EQ(location.executablePath, installed.string());

    fs::remove_all(home);
    EXPECT_FALSE(locateDefaultPlugin((root / "gone/Kelvane.vst").string(), home.string(), location, error));
    EXPECT_NE(error.find("no Kelvane plug-in found"), std::string::npos) << error;
}
