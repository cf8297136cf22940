// Bundles on real folder trees: the test bundle the build makes (its .so finds its own bundle from
// inside, as the plug-in does), and temporary trees with copies of that .so, aliases and hidden items.

#include "auwrapper/platform/Bundle.h"
#include "auwrapper/platform/FileSystem.h"
#include "tests/auwrapper/platform/TempTree.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <iterator>

using q9framework::Bundle;
namespace fs = q9framework::fs;

namespace {

const std::string builtBundle = AUPLATFORM_TEST_BUNDLE;
const std::string builtExecutable = builtBundle + "/Contents/x86_64-linux/TestBundle.so";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// True while the dynamic loader holds the image at `path` (asking does not load it).
bool imageIsLoaded(const std::string& path)
{
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    ::dlclose(handle);
    return true;
}

std::string infoPlistNaming(const char* executable)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                       "\t<key>CFBundleExecutable</key>\n\t<string>")
        + executable + "</string>\n</dict>\n</plist>\n";
}

} // namespace

TEST(Bundle, LoadsTheBuiltBundleAndFindsItsFunctions)
{
    Bundle bundle = Bundle::fromPath(builtBundle);
    ASSERT_FALSE(bundle.isNull());
    EXPECT_EQ(bundle.getExecutablePath(), builtExecutable);
    EXPECT_EQ(bundle.getFunctionPointer("testBundleAnswer"), nullptr) << "nothing is found before loading";
    ASSERT_TRUE(bundle.loadExecutable()) << bundle.getLoadError();
    EXPECT_TRUE(bundle.isExecutableLoaded());

    auto answer = reinterpret_cast<int (*)()>(bundle.getFunctionPointer("testBundleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(bundle.getFunctionPointer("noSuchFunction"), nullptr);
}

TEST(Bundle, CodeInsideALoadedExecutableFindsItsOwnBundle)
{
    Bundle bundle = Bundle::fromPath(builtBundle);
    ASSERT_TRUE(bundle.loadExecutable()) << bundle.getLoadError();
    auto ownPath = reinterpret_cast<bool (*)(char*, size_t)>(bundle.getFunctionPointer("testBundleOwnPath"));
    ASSERT_NE(ownPath, nullptr);
    char path[4096] = {};
    ASSERT_TRUE(ownPath(path, sizeof(path)));
    EXPECT_EQ(std::string(path), fs::canonicalPath(builtBundle));

    // The same lookup from outside, on the address of any function of that image.
    EXPECT_EQ(Bundle::forAddress(reinterpret_cast<const void*>(ownPath)).getPath(), fs::canonicalPath(builtBundle));
    EXPECT_TRUE(Bundle::forAddress(nullptr).isNull());
}

TEST(Bundle, TheOwnBundleIsFoundThroughALinkedBundleFolder)
{
    // Hosts often see the bundle through a link (an install folder pointing at the build); the own
    // bundle is the real folder, where the resources are.
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    ASSERT_TRUE(tree.link(builtBundle, "Linked.vst"));
    void* handle = ::dlopen(tree.path("Linked.vst/Contents/x86_64-linux/TestBundle.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    auto ownPath = reinterpret_cast<bool (*)(char*, size_t)>(::dlsym(handle, "testBundleOwnPath"));
    ASSERT_NE(ownPath, nullptr);
    char path[4096] = {};
    EXPECT_TRUE(ownPath(path, sizeof(path)));
    EXPECT_EQ(std::string(path), fs::canonicalPath(builtBundle));
    ::dlclose(handle);
}

TEST(Bundle, ValuesCrossBetweenTwoCopiesOfTheLayer)
{
    using namespace q9framework::cf;
    // The test program and the loaded .so each link their own copy, as a host and the plug-in do.
    // The image stays loaded to the end of the program: unloading it would leave its CFSTR constants
    // behind (by design), which leak checkers rightly report and which this test is not about.
    static void* const keptLoaded = ::dlopen(builtExecutable.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(keptLoaded, nullptr);
    Bundle bundle = Bundle::fromPath(builtBundle);
    ASSERT_TRUE(bundle.loadExecutable()) << bundle.getLoadError();
    auto create = reinterpret_cast<CFDictionaryRef (*)()>(bundle.getFunctionPointer("testBundleCreatePreset"));
    auto readName = reinterpret_cast<bool (*)(CFDictionaryRef, char*, long)>(bundle.getFunctionPointer("testBundleReadName"));
    auto release = reinterpret_cast<void (*)(CFTypeRef)>(bundle.getFunctionPointer("testBundleRelease"));
    auto theirLive = reinterpret_cast<long (*)()>(bundle.getFunctionPointer("testBundleLiveObjects"));
    ASSERT_TRUE(create && readName && release && theirLive);
    const long ourStart = liveObjectCount();
    const long theirStart = theirLive();

    CFDictionaryRef theirs = create();
    ASSERT_EQ(CFGetTypeID(theirs), CFDictionaryGetTypeID());
    const void* bypassed = CFDictionaryGetValue(theirs, CFSTR("bypassed"));
    EXPECT_TRUE(CFBooleanGetValue(static_cast<CFBooleanRef>(bypassed)));
    EXPECT_NE(bypassed, kCFBooleanTrue) << "each copy has its own constants: compare values, not addresses";
    const void* keys[] = {CFSTR("name"), CFSTR("bypassed"), CFSTR("version")};
    int32_t one = 1;
    CFRef<CFNumberRef> version(CFNumberCreate(nullptr, kCFNumberSInt32Type, &one));
    CFRef<CFStringRef> punch(createString("Punch"));
    const void* values[] = {punch.get(), kCFBooleanTrue, version.get()};
    CFRef<CFDictionaryRef> ours(CFDictionaryCreate(nullptr, keys, values, 3, &kCFTypeDictionaryKeyCallBacks,
                                                   &kCFTypeDictionaryValueCallBacks));
    EXPECT_TRUE(CFEqual(theirs, ours.get()));

    char name[16] = {};
    EXPECT_TRUE(readName(ours.get(), name, sizeof(name)));
    EXPECT_STREQ(name, "Punch");

    CFRelease(theirs);   // freed by our copy, made by theirs
    CFRetain(ours.get());
    release(ours.get());   // a release by their copy of an object we still hold
    EXPECT_EQ(CFGetRetainCount(ours.get()), 1);
    EXPECT_EQ((liveObjectCount() - ourStart) + (theirLive() - theirStart), 3)
        << "across both copies only our three remain: ours, version and punch";
}

TEST(Bundle, ChoosesTheExecutableByInfoPlistOrFolderNameElseTheOnlyLibrary)
{
    const std::string image = readFile(builtExecutable);
    ASSERT_FALSE(image.empty());

    const struct {
        std::string infoPlist;   // empty: no Info.plist
        std::vector<const char*> libraries;
        const char* expected;    // file name in Contents/x86_64-linux, "" for none
        const char* what;
    } cases[] = {
        {infoPlistNaming("Named"), {"Named.so", "Other.so"}, "Named.so", "CFBundleExecutable with .so added"},
        {"", {"Only.so"}, "Only.so", "no Info.plist, one library"},
        {"", {"Other.so", "X.so"}, "X.so", "no Info.plist: the folder's name without extension"},
        {"", {"One.so", "Two.so"}, "", "two libraries and no name to choose by"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        ASSERT_TRUE(tree.valid());
        tree.folder("X.vst/Contents/x86_64-linux");
        if (!c.infoPlist.empty())
            tree.file("X.vst/Contents/Info.plist", c.infoPlist);
        for (const char* library : c.libraries)
            tree.file(std::string("X.vst/Contents/x86_64-linux/") + library, image);

        Bundle bundle = Bundle::fromPath(tree.path("X.vst"));
        ASSERT_FALSE(bundle.isNull());
        const std::string expected = *c.expected ? tree.path("X.vst/Contents/x86_64-linux/") + c.expected : "";
        EXPECT_EQ(bundle.getExecutablePath(), expected);
        if (expected.empty()) {
            EXPECT_FALSE(bundle.loadExecutable());
            EXPECT_FALSE(bundle.getLoadError().empty());
        }
    }
}

TEST(Bundle, TheLastReferenceUnloadsTheExecutable)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    // A copy of its own, so no other test's handle keeps the image alive.
    const std::string executable = tree.path("U.vst/Contents/x86_64-linux/U.so");
    tree.file("U.vst/Contents/x86_64-linux/U.so", readFile(builtExecutable));

    auto first = std::make_unique<Bundle>(Bundle::fromPath(tree.path("U.vst")));
    ASSERT_TRUE(first->loadExecutable()) << first->getLoadError();
    ASSERT_TRUE(imageIsLoaded(executable));
    EXPECT_EQ(first->getReferenceCount(), 1);

    auto second = std::make_unique<Bundle>(*first);
    EXPECT_EQ(second->getReferenceCount(), 2);
    EXPECT_TRUE(second->isExecutableLoaded()) << "a copy shares the loaded executable";

    first.reset();
    EXPECT_EQ(second->getReferenceCount(), 1);
    EXPECT_TRUE(imageIsLoaded(executable)) << "another reference still holds it";
    EXPECT_NE(second->getFunctionPointer("testBundleAnswer"), nullptr);

    second.reset();
#ifndef KELVANE_SANITIZED   // where the test programs keep every module mapped for the leak checker
    EXPECT_FALSE(imageIsLoaded(executable));
#endif
}

TEST(Bundle, CreationRefusesWhatIsNoBundle)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    tree.file("plain.txt", "x");
    EXPECT_TRUE(Bundle::fromPath(tree.path("plain.txt")).isNull());
    EXPECT_TRUE(Bundle::forExecutable("Contents/X.so").isNull()) << "fewer than three components";

    tree.file("Text.vst/Contents/x86_64-linux/Text.so", "not an ELF image");
    Bundle text = Bundle::forExecutable(tree.path("Text.vst/Contents/x86_64-linux/Text.so"));
    ASSERT_FALSE(text.isNull());
    EXPECT_FALSE(text.loadExecutable());
    EXPECT_EQ(text.getFunctionPointer("anything"), nullptr);

    tree.folder("Bare.vst/Contents");
    const Bundle bare = Bundle::fromPath(tree.path("Bare.vst"));
    ASSERT_FALSE(bare.isNull());
    std::vector<std::string> paths{"stale"};
    EXPECT_FALSE(bare.getResourcePathsOfType("vst", paths)) << "no Resources folder";
    EXPECT_EQ(bare.getResourcePath("anything"), "");
}

TEST(Bundle, ListsResourcesByExtensionWithAliasesAndWithoutHiddenItems)
{
    TempTree tree;
    ASSERT_TRUE(tree.valid());
    tree.folder("Outside/Real.vst/Contents");
    tree.folder("B.vst/Contents/Resources/Inner.vst");
    tree.file("B.vst/Contents/Resources/Factory.aupreset", "<plist/>");
    tree.file("B.vst/Contents/Resources/.Hidden.vst", "");
    tree.file("B.vst/Contents/Resources/Note.vst.txt", "");
    tree.file("B.vst/Contents/Resources/Presets/Deep.aupreset", "");
    ASSERT_TRUE(tree.link(tree.path("Outside/Real.vst"), "B.vst/Contents/Resources/Alias.vst"));
    ASSERT_TRUE(tree.link("Nowhere.vst", "B.vst/Contents/Resources/Broken.vst"));

    Bundle bundle = Bundle::fromPath(tree.path("B.vst"));
    EXPECT_EQ(bundle.getResourcesPath(), tree.path("B.vst/Contents/Resources"));

    const std::string resources = tree.path("B.vst/Contents/Resources/");
    std::vector<std::string> paths;
    ASSERT_TRUE(bundle.getResourcePathsOfType("vst", paths));
    EXPECT_EQ(paths, (std::vector<std::string>{resources + "Alias.vst", resources + "Broken.vst", resources + "Inner.vst"}))
        << "aliases are listed unresolved, even broken ones; the caller decides what to do with them";
    EXPECT_EQ(fs::resolveAlias(paths[0]), tree.path("Outside/Real.vst"));
    EXPECT_EQ(fs::resolveAlias(paths[1]), "");

    ASSERT_TRUE(bundle.getResourcePathsOfType("aupreset", paths, "Presets"));
    EXPECT_EQ(paths, std::vector<std::string>{resources + "Presets/Deep.aupreset"});
    EXPECT_FALSE(bundle.getResourcePathsOfType("aupreset", paths, "NoSuchFolder"));
    ASSERT_TRUE(bundle.getResourcePathsOfType("component", paths));
    EXPECT_TRUE(paths.empty()) << "an existing folder with no match is an empty list, not a failure";

    EXPECT_EQ(bundle.getResourcePath("Factory", "aupreset"), resources + "Factory.aupreset");
    EXPECT_EQ(bundle.getResourcePath("Broken", "vst"), "") << "an alias to nothing is no resource";
}
