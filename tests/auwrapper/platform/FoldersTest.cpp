// Folder lookup with its environment overrides, subfolders and whole-file input and output with the
// Mac's status codes, on temporary trees.

#include "auwrapper/platform/FileSystem.h"
#include "auwrapper/platform/Folders.h"
#include "tests/auwrapper/platform/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

using namespace q9framework;

namespace {

// Sets or clears environment variables for one test and puts the old values back afterwards.
class ScopedEnvironment {
public:
    void set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        saved.push_back({name, old != nullptr, old != nullptr ? old : ""});
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->existed)
                ::setenv(it->name.c_str(), it->value.c_str(), 1);
            else
                ::unsetenv(it->name.c_str());
        }
    }

private:
    struct Saved {
        std::string name;
        bool existed;
        std::string value;
    };
    std::vector<Saved> saved;
};

} // namespace

TEST(Folders, TheAudioSupportFolderFollowsTheOverridesThenXdgThenHome)
{
    const struct {
        const char* userOverride;
        const char* localOverride;
        const char* dataHome;
        const char* home;
        const char* user;
        const char* local;
        const char* what;
    } cases[] = {
        {nullptr, nullptr, nullptr, "/home/ann", "/home/ann/.local/share/Audio", "/usr/local/share/Audio", "defaults"},
        {nullptr, nullptr, "/data/ann", "/home/ann", "/data/ann/Audio", "/usr/local/share/Audio", "XDG_DATA_HOME"},
        {"", "", "relative/dir", "/home/ann", "/home/ann/.local/share/Audio", "/usr/local/share/Audio",
         "empty overrides and a relative XDG_DATA_HOME count as unset"},
        {"/scratch/u", "/scratch/l", "/data/ann", "/home/ann", "/scratch/u", "/scratch/l", "the overrides win"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedEnvironment environment;
        environment.set("KELVANE_AUDIO_USER_DIR", c.userOverride);
        environment.set("KELVANE_AUDIO_LOCAL_DIR", c.localOverride);
        environment.set("XDG_DATA_HOME", c.dataHome);
        environment.set("HOME", c.home);
        EXPECT_EQ(audioSupportFolderPath(FolderDomain::user), c.user);
        EXPECT_EQ(audioSupportFolderPath(FolderDomain::local), c.local);
    }
}

TEST(Folders, FindingTheFolderCreatesItOnlyWhenAsked)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    ScopedEnvironment environment;
    environment.set("KELVANE_AUDIO_USER_DIR", tree.path("user/Audio").c_str());
    environment.set("KELVANE_AUDIO_LOCAL_DIR", tree.path("local.txt").c_str());
    tree.file("local.txt", "a file where the folder should be");

    std::string path = "stale";
    EXPECT_EQ(findAudioSupportFolder(FolderDomain::user, false, path), fnfErr);
    EXPECT_EQ(path, "");
    EXPECT_FALSE(fs::exists(tree.path("user/Audio")));

    EXPECT_EQ(findAudioSupportFolder(FolderDomain::user, true, path), noErr);
    EXPECT_EQ(path, tree.path("user/Audio"));
    EXPECT_TRUE(fs::isDirectory(path));
    EXPECT_EQ(findAudioSupportFolder(FolderDomain::user, false, path), noErr);

    EXPECT_EQ(findAudioSupportFolder(FolderDomain::local, false, path), dupFNErr);
    EXPECT_NE(findAudioSupportFolder(FolderDomain::local, true, path), noErr);
}

TEST(Folders, SubfoldersAreFoundOrCreatedWithTheFileSystemsStatus)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    tree.folder("Audio/Presets");
    tree.file("Audio/Presets/Kelvane", "a file, not a folder");
    std::string path;

    EXPECT_EQ(findOrCreateSubfolder(tree.path("Audio"), "Presets", path), noErr);
    EXPECT_EQ(path, tree.path("Audio/Presets"));
    EXPECT_EQ(findOrCreateSubfolder(path, "Velmora Audio Technologies", path), noErr);
    EXPECT_TRUE(fs::isDirectory(tree.path("Audio/Presets/Velmora Audio Technologies")));
    EXPECT_EQ(findOrCreateSubfolder(tree.path("Audio/Presets"), "Kelvane", path), dupFNErr);
    EXPECT_EQ(findOrCreateSubfolder(tree.path("Missing"), "Presets", path), dirNFErr);
    EXPECT_EQ(findOrCreateSubfolder(tree.path("Audio"), "a/b", path), paramErr);
    EXPECT_EQ(path, "");
}

TEST(Folders, WholeFilesAreReadAndWrittenWithoutOverwritingWhenExclusive)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    const std::string path = tree.path("Punch.aupreset");
    const std::string first = "first";
    EXPECT_EQ(writeWholeFile(path, first.data(), first.size(), true), noErr);
    EXPECT_EQ(writeWholeFile(path, "second", 6, true), dupFNErr);

    std::vector<UInt8> bytes;
    EXPECT_EQ(readWholeFile(path, bytes), noErr);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first") << "an exclusive write leaves an existing file alone";

    EXPECT_EQ(writeWholeFile(path, "second", 6, false), noErr);
    EXPECT_EQ(readWholeFile(path, bytes), noErr);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");

    EXPECT_EQ(createFolder(tree.path("Bank")), noErr);
    EXPECT_EQ(createFolder(tree.path("Bank")), dupFNErr) << "a bank converted before is not converted again";
    EXPECT_EQ(createFolder(path), dupFNErr);
    EXPECT_EQ(deleteFile(path), noErr);
    EXPECT_EQ(deleteFile(path), fnfErr);

    EXPECT_EQ(readWholeFile(tree.path(""), bytes), fnfErr) << "a folder is no file";
}
