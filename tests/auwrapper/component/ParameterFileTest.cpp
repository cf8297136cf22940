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

TEST(ParameterFile, ReadsEveryColumn)
{
    const auto lines = parse("3+\tDrive\t0\t15\t=\t-\t1\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].index, 3);
    EXPECT_TRUE(lines[0].globalMeta);
    EXPECT_EQ(lines[0].name, "Drive");
    EXPECT_EQ(lines[0].minValue, 0.0f);
    EXPECT_EQ(lines[0].maxValue, 15.0f);
    EXPECT_EQ(lines[0].kind, "=");
    EXPECT_EQ(lines[0].unitName, "-");
    EXPECT_EQ(lines[0].defaultValue, 1.0f);
    EXPECT_TRUE(lines[0].valueNames().empty());
}

TEST(ParameterFile, KindsAndValueLists)
{
    const auto lines = parse("0\tTime\t0\t2\t  sharp|mid|soft\t-\t1\n"
                             "1\tOn\t0\t1\tb\t-\t0\n"
                             "2\tShape\t0\t4\ti\t-\t0\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].kind, "sharp|mid|soft") << "leading spaces of the kind are ignored";
    EXPECT_EQ(lines[0].valueNames(), (std::vector<std::string>{"sharp", "mid", "soft"}));
    EXPECT_TRUE(lines[1].valueNames().empty());
    EXPECT_TRUE(lines[2].valueNames().empty());
}

TEST(ParameterFile, MalformedLinesAreSkippedSilently)
{
    const struct {
        const char* line;
        const char* what;
    } cases[] = {
        {"1\tGain\t-9\t9\t=\tdB", "six columns"},
        {"8\tGain\t-9\t9\t=\tdB\t0", "index equal to the parameter count"},
        {"1\tGain\t-9\t9\t=\tdB\t10", "default above the range"},
        {"1\tGain\tnan\t9\t=\tdB\t0", "NaN minimum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(parse(std::string(c.line) + "\n").empty());
    }
}

TEST(ParameterFile, CommentsBlankLinesAndDuplicates)
{
    const auto lines = parse("; a comment\n"
                             "\n"
                             "   \n"
                             "   ;indented comment\n"
                             "  2\tBypass\t0\t1\tb\t-\t0\r\n"
                             "2\tAgain\t0\t1\tb\t-\t0\r\n"
                             "1\tGain\t-9\t9\t=\tdB\t0");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "Bypass") << "the first line for an index wins";
    EXPECT_EQ(lines[1].name, "Gain");
    EXPECT_EQ(lines[1].unitName, "dB");
}

TEST(ParameterFile, RunsOfTabsSeparateColumnsAndNamesKeepSpaces)
{
    const auto lines = parse("4\t\tAttack Time\t\t0\t2\tsharp|mid|soft\t\t-\t1\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].name, "Attack Time");
}

TEST(ParameterFile, MoreThan1024LinesFail)
{
    std::string body;
    for (int i = 0; i < 1025; ++i)
        body += std::to_string(i) + "\tP\t0\t1\t=\t-\t0\n";
    EXPECT_EQ(parse(body, 1024).size(), 1024u) << "the 1025th line names an index out of range";
    EXPECT_THROW(parse(body, 2000), TandrilException);
}
