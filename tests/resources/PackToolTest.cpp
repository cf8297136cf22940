#include "framework/resources/ResourcePack.h"

#include "TestPictures.h"
#include "RunCommand.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

using ToolRun = testsupport::CommandRun;

ToolRun runTool(const std::string& arguments)
{
#ifdef KELVANE_PACK_TOOL
    return testsupport::runCommand(std::string("'") + KELVANE_PACK_TOOL + "' " + arguments);
#else
    (void) arguments;
    return {};
#endif
}

std::string shellQuoted(const std::string& s) { return "'" + s + "'"; }

struct PackToolTest : ::testing::Test {
    void SetUp() override
    {
#ifndef KELVANE_PACK_TOOL
        GTEST_SKIP() << "kelvane-pack is not built in this tree";
#endif
        png = testpictures::writeTempFile("tool_led.png", testpictures::makePng(2, 1, {255, 0, 0, 255, 0, 0, 255, 128}));
        wav = testpictures::writeTempFile("tool_click.wav", testpictures::makeWav16(1, 48000, {0, 100, -100}));
        txt = testpictures::writeTempFile("tool_notes.txt", {'a', 'b', 'c'});
        out = testpictures::writeTempFile("tool_out.bin", {});
        std::remove(out.c_str());
    }
    std::string png, wav, txt, out;
};

} // namespace

TEST_F(PackToolTest, PacksFilesAndListsThem)
{
    const ToolRun packed = runTool(shellQuoted(out) + " satled.png=" + shellQuoted(png) + " click=" + shellQuoted(wav) + " notes=" + shellQuoted(txt));
    ASSERT_EQ(packed.status, 0) << packed.output;
    EXPECT_EQ(packed.output, "");

    // The listing reads the pack back: each entry's type and size show what addFile made of it.
    const ToolRun listed = runTool("--list " + shellQuoted(out));
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.output, "satled.png\timage\t2 x 1, margin 16\n"
                             "click\tsample\t1 channels, 3 frames, 32 bits, 48000 Hz\n"
                             "notes\tdata\t3 bytes\n");
}

TEST_F(PackToolTest, ManifestWithCommentsAndRelativePaths)
{
    const std::string folder = png.substr(0, png.find_last_of('/'));
    const std::string manifest = folder + "/" + std::to_string(::getpid()) + "_manifest.txt";
    std::ofstream(manifest) << "# artwork\n\n  satled.png=" << png.substr(folder.size() + 1) << "\r\nnotes=" << txt << "\n";
    const ToolRun packed = runTool(shellQuoted(out) + " --manifest " + shellQuoted(manifest));
    ASSERT_EQ(packed.status, 0) << packed.output;
    const auto pack = ResourcePack::loadFile(out.c_str());
    ASSERT_NE(pack, nullptr);
    EXPECT_EQ(pack->getNames(ResourcePack::allTypes), (std::vector<String>{"satled.png", "notes"}));
}

TEST_F(PackToolTest, ErrorsNameTheFileAndExitNonZero)
{
    const std::string corrupt = testpictures::writeTempFile("tool_broken.png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0, 1});
    const struct { std::string arguments; int status; std::string mention; const char* what; } cases[] = {
        {shellQuoted(out) + " a=" + shellQuoted(corrupt), 1, corrupt, "a .png that does not decode"},
        {shellQuoted(out) + " a=" + shellQuoted(txt) + " a=" + shellQuoted(png), 1, "\"a\" is used twice", "duplicate name"},
        {shellQuoted(out) + " just-a-name", 2, "NAME=FILE", "argument without ="},
        {"--list " + shellQuoted(txt), 1, txt, "listing something that is not a pack"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = runTool(c.arguments);
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_NE(r.output.find(c.mention), std::string::npos) << r.output;
    }
    EXPECT_NE(::access(out.c_str(), F_OK), 0) << "failed runs leave no pack behind";
    EXPECT_NE(::access((out + ".tmp").c_str(), F_OK), 0);
}
