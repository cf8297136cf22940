#include "tools/kelvane/CommandLine.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {
const std::vector<OptionSpec> specs = {
    {"-o", "OUT", "output"}, {"--gain", "DB", "gain"}, {"--bypass", "", "bypass"}};
}

TEST(CommandLine, ReadsOptionsSwitchesAndPositionals)
{
    CommandLine line;
    std::string error;
    ASSERT_TRUE(line.parse({"in.wav", "--gain", "-3", "--bypass", "-o", "out.wav"}, specs, error)) << error;
    EXPECT_EQ(line.value("--gain"), "-3") << "a negative number is a value, not an option";
    EXPECT_TRUE(line.has("--bypass"));
    EXPECT_EQ(line.value("-o"), "out.wav");
    EXPECT_EQ(line.positional(), std::vector<std::string>{"in.wav"});

    ASSERT_TRUE(line.parse({"--gain=4.5", "--", "--bypass"}, specs, error));
    EXPECT_EQ(line.value("--gain"), "4.5");
    EXPECT_FALSE(line.has("--bypass")) << "after -- everything is positional";
    EXPECT_EQ(line.positional(), std::vector<std::string>{"--bypass"});

    // Unknown options are refused by the program's own test, end to end.
    EXPECT_FALSE(line.parse({"--bypass=1"}, specs, error));
    EXPECT_EQ(error, "option '--bypass' takes no value");
}

TEST(CommandLine, NumbersMustBeWholeAndInRange)
{
    const struct {
        const char* text;
        bool ok;
        double value;
        const char* error;
    } cases[] = {
        {"-9", true, -9.0, ""},
        {"9.01", false, 0, "option '--gain' is out of range: 9.01 is not within -9 to 9 dB"},
        {"3dB", false, 0, "option '--gain' expects a number from -9 to 9 dB, got '3dB'"},
        {"nan", false, 0, "option '--gain' expects a number from -9 to 9 dB, got 'nan'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -1.0;
        std::string error;
        EXPECT_EQ(parseNumberOption("--gain", c.text, -9.0, 9.0, "dB", v, error), c.ok);
        if (c.ok)
            EXPECT_EQ(v, c.value);
        else
            EXPECT_EQ(error, c.error);
    }
    long n = 0;
    std::string error;
    EXPECT_FALSE(parseIntegerOption("--block", "1.5", 1, 65536, n, error));
    EXPECT_FALSE(parseIntegerOption("--block", "0", 1, 65536, n, error));
    EXPECT_EQ(error, "option '--block' is out of range: 0 is not within 1 to 65536");
    EXPECT_TRUE(parseIntegerOption("--block", "65536", 1, 65536, n, error));
    EXPECT_EQ(n, 65536);
}
