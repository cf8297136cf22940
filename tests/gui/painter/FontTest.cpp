// Fonts against real FreeType glyphs of the DejaVu faces that every set-up installs.
#include "framework/gui/FallbackFont.h"
#include "framework/gui/FontEngine.h"
#include "framework/gui/GlyphsCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

const char* const sansPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const monoPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const char* const serifPath = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

/** Answers from a table and remembers what it was asked, so the fallback order can be checked. */
class TableLocator : public FontLocator {
public:
    String arial, verdana, sans;
    int sansFaceIndex = 0;
    std::vector<String>* asked;
    explicit TableLocator(std::vector<String>* log) : asked(log) {}
    FontFile findFamily(const char* family) override
    {
        asked->push_back(family);
        return {String(family) == "Arial Unicode MS" ? arial : String(family) == "Verdana" ? verdana : String(), 0};
    }
    FontFile findMatch(const char* generic) override
    {
        asked->push_back(generic);
        return {sans, sansFaceIndex};
    }
};

std::vector<uint8_t> readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

void putBigEndian32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

/** A TrueType collection of the given fonts, in that order: the "ttcf" header with each font's offset,
    then the fonts, whose table offsets count from the start of the collection. */
std::vector<uint8_t> makeCollection(const std::vector<std::vector<uint8_t>>& fonts)
{
    std::vector<uint8_t> out(12 + 4 * fonts.size(), 0);
    out[0] = 't', out[1] = 't', out[2] = 'c', out[3] = 'f', out[5] = 1;
    putBigEndian32(out, 8, static_cast<uint32_t>(fonts.size()));
    for (size_t f = 0; f < fonts.size(); ++f) {
        const size_t base = (out.size() + 3) & ~size_t(3);
        out.resize(base);
        putBigEndian32(out, 12 + 4 * f, static_cast<uint32_t>(base));
        std::vector<uint8_t> font = fonts[f];
        const size_t tables = size_t(font[4]) << 8 | font[5];
        for (size_t t = 0; t < tables; ++t)
            putBigEndian32(font, 12 + 16 * t + 8, bigEndian32(font, 12 + 16 * t + 8) + static_cast<uint32_t>(base));
        out.insert(out.end(), font.begin(), font.end());
    }
    return out;
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createFontEngine()); }
    void TearDown() override { destroyFontEngine(); }
};

} // namespace

TEST(FontFallbackTest, DefaultFontFollowsTheFamilyOrder)
{
    const struct {
        const char* arial;
        const char* verdana;
        const char* sans;
        const char* expectedPath;
        size_t expectedQuestions;
        const char* what;
    } cases[] = {
        {serifPath, monoPath, sansPath, serifPath, 1, "Arial Unicode MS wins when installed"},
        {"", monoPath, sansPath, monoPath, 2, "Verdana when Arial Unicode MS is absent"},
        {"", "", sansPath, sansPath, 3, "sans-serif match when neither is"},
        {"", "", "", "", 3, "nothing installed: a font without typeface"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<String> asked;
        auto locator = std::make_unique<TableLocator>(&asked);
        locator->arial = c.arial;
        locator->verdana = c.verdana;
        locator->sans = c.sans;
        ASSERT_TRUE(createFontEngine(std::move(locator)));
        FallbackFont* fallback = FallbackFont::getInstance();
        ASSERT_NE(fallback, nullptr);
        EXPECT_EQ(fallback->getFilePath(), c.expectedPath);
        EXPECT_EQ(asked.size(), c.expectedQuestions);
        EXPECT_EQ(fallback->getTypeface() != nullptr, *c.expectedPath != 0);
        const Font font = Font::getDefaultFont();
        if (*c.expectedPath == 0)
            EXPECT_EQ(font.getStringWidth("Kelvane"), 0.0f);
        else
            EXPECT_GT(font.getStringWidth("Kelvane"), 20.0f);
        EXPECT_EQ(FallbackFont::getInstance(), fallback) << "made once";
        destroyFontEngine();
    }
}

TEST(FontFallbackTest, DefaultFontTakesTheFaceTheLocatorNamesInACollection)
{
    const std::vector<uint8_t> collection = makeCollection({readFile(sansPath), readFile(monoPath)});
    const std::string path = ::testing::TempDir() + "kelvane-fonts.ttc";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(collection.data()),
                                                 static_cast<std::streamsize>(collection.size()));
    std::vector<String> asked;
    auto locator = std::make_unique<TableLocator>(&asked);
    locator->sans = path.c_str();
    locator->sansFaceIndex = 1;
    ASSERT_TRUE(createFontEngine(std::move(locator)));
    const Font font = Font::getDefaultFont();
    ASSERT_NE(font.getTypeface(), nullptr);
    EXPECT_STREQ(font.getTypeface()->getFace()->family_name, "DejaVu Sans Mono");
    EXPECT_FLOAT_EQ(font.getGlyph('i')->advance, font.getGlyph('W')->advance) << "monospaced";
    destroyFontEngine();
    std::remove(path.c_str());
}

TEST_F(FontTest, GlyphsAreSharedPerSettingsAndSeparatePerDifference)
{
    const Font base = Font::getDefaultFont();
    Typeface* face = base.getTypeface();
    ASSERT_NE(face, nullptr);
    const Glyph* a = base.getGlyph('a');
    ASSERT_NE(a, nullptr);

    Font copy = base;
    EXPECT_EQ(copy.getGlyph('a'), a) << "copies share the cache entry";
    EXPECT_EQ(Font(face, true, 0, 0, 1, 10.0, 0.0).getGlyph('a'), a) << "equal settings share it too";

    const struct {
        Font font;
        const char* what;
    } different[] = {
        {Font(face, true, 0, 0, 1, 11.0, 0.0), "height"},
        {Font(face, true, 0, 0, 1, 10.0, 0.5), "extra"},
    };
    for (const auto& d : different) {
        SCOPED_TRACE(d.what);
        EXPECT_NE(d.font, base);
        const Glyph* other = d.font.getGlyph('a');
        ASSERT_NE(other, nullptr);
        EXPECT_NE(other, a);
        EXPECT_EQ(other->font, d.font);
    }

    copy.setHeight(20.0);
    EXPECT_DOUBLE_EQ(base.getHeight(), 10.0) << "setHeight leaves the other handles alone";
}

TEST_F(FontTest, GlyphImagesAreSubPixelCoverageOnACommonCapitalLine)
{
    const Font font = Font::getDefaultFont();
    const Glyph* capital = font.getGlyph('H');
    const Glyph* small = font.getGlyph('x');
    const Glyph* descender = font.getGlyph('g');
    ASSERT_TRUE(capital && small && descender);
    EXPECT_EQ(font.getGlyph('A')->top, 0);
    EXPECT_EQ(capital->top, 0) << "H and A share the capital height";
    EXPECT_GT(small->top, 1) << "x starts below the capitals";
    // All three sit on one baseline: capital bottom == x bottom, g goes below it.
    const int32_t capitalBottom = capital->top + capital->image.getHeight();
    EXPECT_EQ(small->top + small->image.getHeight(), capitalBottom);
    EXPECT_GT(descender->top + descender->image.getHeight(), capitalBottom + 1);

    const Image& image = capital->image;
    ASSERT_FALSE(image.isNull());
    bool anyFull = false;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x) {
            const uint8_t* p = image.getPixelPointer(x, y);
            ASSERT_EQ(p[3], p[0] | p[1] | p[2]) << x << "," << y;
            anyFull = anyFull || (p[0] == 255 && p[1] == 255 && p[2] == 255);
        }
    EXPECT_TRUE(anyFull) << "the stems of H are fully covered";
    EXPECT_EQ(image.getMargin(), 0) << "the painter reads no border around a glyph";

}

TEST_F(FontTest, AFaceOutlivingTheEngineIsAHarmlessShell)
{
    const std::vector<uint8_t> bytes = readFile(serifPath);
    std::unique_ptr<Typeface> serif = Font::loadTypeface(bytes.data(), bytes.size());
    ASSERT_NE(serif, nullptr);
    destroyFontEngine();
    EXPECT_EQ(serif->getFace(), nullptr);
    EXPECT_EQ(Font(serif.get(), true, 0, 0, 1, 10.0, 0.0).getGlyph('A'), nullptr);
    serif.reset();
    ASSERT_TRUE(createFontEngine());
}
