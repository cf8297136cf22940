#include "auwrapper/ParameterFile.h"
#include "auwrapper/ResourceText.h"
#include "auwrapper/vsthost/TandrilException.h"

#include <gtest/gtest.h>

using namespace q9framework;

namespace {

const char* const header = "index\tname\tmin\tmax\tkind\tunit\tdefault\n";

std::vector<ParameterLine> parse(const std::string& body, int32_t numParams = 8)
{
    return parseParameterFile(header + body, numParams);
}

} // namespace

TEST(ResourceLines, EndAtLfCrOrCrLfAndAreCut)
{
    EXPECT_EQ(splitResourceLines("a\nb\rc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitResourceLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitResourceLines("abcdef\nxy", 4), (std::vector<std::string>{"abcd", "xy"}));
    EXPECT_TRUE(splitResourceLines("").empty());
}

TEST(ParameterFile, ReadsEveryColumnSkipsCommentsAndKeepsTheFirstLineOfAnIndex)
{
    const auto lines = parse("; a comment\n"
                             "\n"
                             "   ;indented comment\n"
                             "3+\tDrive\t0\t15\t=\t-\t1\r\n"
                             "  2\tBypass\t0\t1\tb\t-\t0\r\n"
                             "2\tAgain\t0\t1\tb\t-\t0\n"
                             "4\t\tAttack Time\t\t0\t2\t  sharp|mid|soft\t\t-\t1");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].index, 3);
    EXPECT_TRUE(lines[0].globalMeta);
    EXPECT_EQ(lines[0].name, "Drive");
    EXPECT_EQ(lines[0].minValue, 0.0f);
    EXPECT_EQ(lines[0].maxValue, 15.0f);
    EXPECT_EQ(lines[0].kind, "=");
    EXPECT_EQ(lines[0].unitName, "-");
    EXPECT_EQ(lines[0].defaultValue, 1.0f);
    EXPECT_TRUE(lines[0].valueNames().empty());
    EXPECT_EQ(lines[1].name, "Bypass") << "the first line for an index wins";
    EXPECT_FALSE(lines[1].globalMeta);
    EXPECT_EQ(lines[2].name, "Attack Time") << "runs of tabs separate columns, names keep their spaces";
    EXPECT_EQ(lines[2].kind, "sharp|mid|soft") << "leading spaces of the kind are ignored";
    EXPECT_EQ(lines[2].valueNames(), (std::vector<std::string>{"sharp", "mid", "soft"}));
}

// Ranges, defaults and indices past the effect's are the parameter-file fuzz target's checks.
TEST(ParameterFile, MalformedLinesAreSkippedSilently)
{
    EXPECT_TRUE(parse("1\tGain\t-9\t9\t=\tdB\n").empty()) << "six columns";
    EXPECT_TRUE(parse("1\tGain\tnan\t9\t=\tdB\t0\n").empty()) << "a NaN minimum";
}

TEST(ParameterFile, MoreThan1024LinesFail)
{
    std::string body;
    for (int i = 0; i < 1025; ++i)
        body += std::to_string(i) + "\tP\t0\t1\t=\t-\t0\n";
    EXPECT_EQ(parse(body, 1024).size(), 1024u) << "the 1025th line names an index out of range";
    EXPECT_THROW(parse(body, 2000), TandrilException);
}
