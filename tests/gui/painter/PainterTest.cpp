// The painter's arithmetic to the byte: blending, clipping, images, and that shapes and text land
// where they should. Buffers carry guard pixels around the target so any stray write shows.
#include "framework/gui/FontEngine.h"
#include "framework/gui/Painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace q9framework;

namespace {

/** A width x height target inside a buffer with `guard` pixels of 0x5A on every side. */
struct GuardedBuffer {
    int width, height, guard = 4;
    std::vector<uint8_t> bytes;
    GuardedBuffer(int w, int h, uint32_t fill = 0) : width(w), height(h)
    {
        bytes.assign(static_cast<size_t>((w + 2 * guard) * (h + 2 * guard) * 4), 0x5a);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                std::memcpy(at(x, y), &fill, 4);
    }
    int stride() const { return (width + 2 * guard) * 4; }
    uint8_t* at(int x, int y) { return bytes.data() + (y + guard) * stride() + (x + guard) * 4; }
    uint32_t word(int x, int y)
    {
        uint32_t w;
        std::memcpy(&w, at(x, y), 4);
        return w;
    }
    bool guardsIntact()
    {
        for (int y = -guard; y < height + guard; ++y)
            for (int x = -guard; x < width + guard; ++x)
                if ((x < 0 || y < 0 || x >= width || y >= height) && word(x, y) != 0x5a5a5a5au)
                    return false;
        return true;
    }
};

uint32_t bgra(uint8_t b, uint8_t g, uint8_t r, uint8_t a)
{
    return b | (g << 8) | (r << 16) | (uint32_t(a) << 24);
}

} // namespace

TEST(PainterBlendTest, ColoursBlendWithTheirOwnAlphaToTheByte)
{
    const struct {
        uint32_t destination;
        Colour colour;
        uint32_t expected;
        const char* what;
    } cases[] = {
        // k = 129, a = 255·129 >> 8 = 128: blue 255·128 >> 8 = 127, red 0 + 255·129 >> 8 = 128.
        {bgra(255, 0, 0, 255), Colour(255, 0, 0, 128), bgra(127, 0, 128, 255), "half red over blue"},
        {bgra(0, 0, 0, 0), Colour(255, 255, 255, 128), bgra(128, 128, 128, 128), "half white over nothing"},
        // k = 2, a = 1: keep 255 of 256 (200 -> 199), add 100·2 >> 8 = 0.
        {bgra(200, 200, 200, 200), Colour(100, 100, 100, 1), bgra(199, 199, 199, 200), "alpha 1 barely shows"},
        {bgra(10, 20, 30, 40), Colour(1, 2, 3, 255), bgra(3, 2, 1, 255), "opaque replaces"},
        {bgra(10, 20, 30, 40), Colour(1, 2, 3, 0), bgra(10, 20, 30, 40), "transparent leaves alone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GuardedBuffer buffer(1, 1, c.destination);
        Painter painter(buffer.at(0, 0), 1, 1, buffer.stride());
        painter.blendPixel(0, 0, c.colour);
        EXPECT_EQ(buffer.word(0, 0), c.expected);
        GuardedBuffer filled(3, 2, c.destination);
        Painter filler(filled.at(0, 0), 3, 2, filled.stride());
        filler.fillRect({0, 0, 3, 2}, c.colour, true);
        EXPECT_EQ(filled.word(2, 1), c.expected) << "fillRect with blend agrees with blendPixel";
    }
}

TEST(PainterBlendTest, WideRowsBlendExactlyLikeSinglePixels)
{
    // Image rows are blended several pixels at a time; every width and every alpha must agree with the
    // one-pixel rule, including rows whose length is not a multiple of the group.
    Image source(37, 1, true);
    for (int x = 0; x < 37; ++x) {
        uint8_t* p = source.getPixelPointer(x, 0);
        p[3] = static_cast<uint8_t>(x * 7);
        p[0] = static_cast<uint8_t>(p[3] / 2), p[1] = static_cast<uint8_t>(p[3]), p[2] = static_cast<uint8_t>(x);
    }
    for (const int globalAlpha : {0, 1, 128, 254, 255}) {
        SCOPED_TRACE(globalAlpha);
        GuardedBuffer wide(37, 1, bgra(90, 180, 30, 200));
        Painter painter(wide.at(0, 0), 37, 1, wide.stride());
        painter.drawImageAt(source, {0, 0}, true, static_cast<uint8_t>(globalAlpha));
        for (int x = 0; x < 37; ++x) {
            const uint8_t* s = source.getPixelPointer(x, 0);
            const uint32_t k = globalAlpha + 1, a = (s[3] * k) >> 8;
            const uint8_t d[4] = {90, 180, 30, 200};
            const uint8_t expected[4] = {
                uint8_t(((d[0] * (256 - a)) >> 8) + ((s[0] * k) >> 8)), uint8_t(((d[1] * (256 - a)) >> 8) + ((s[1] * k) >> 8)),
                uint8_t(((d[2] * (256 - a)) >> 8) + ((s[2] * k) >> 8)), uint8_t(((d[3] * (256 - a)) >> 8) + a)};
            ASSERT_EQ(0, std::memcmp(wide.at(x, 0), expected, 4)) << x;
        }
        EXPECT_TRUE(wide.guardsIntact());
    }
}

TEST(PainterClipTest, NothingOutsideTheClipOrTheTargetIsTouched)
{
    const struct {
        Point origin;
        Rectangle clip;
        bool clipRelative;
        Rectangle fill;
        Rectangle expectedArea;
        const char* what;
    } cases[] = {
        {{0, 0}, {-10, -10, 100, 100}, false, {-5, -5, 100, 100}, {0, 0, 8, 6}, "clip and fill larger than the target"},
        {{2, 1}, {1, 1, 2, 2}, true, {0, 0, 8, 8}, {3, 2, 2, 2}, "clip relative to the origin"},
        {{-20, 0}, {0, 0, 8, 6}, false, {0, 0, 10, 10}, {0, 0, 0, 0}, "moved entirely off the target"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GuardedBuffer buffer(8, 6);
        Painter painter(buffer.at(0, 0), 8, 6, buffer.stride());
        painter.addOrigin(c.origin.x, c.origin.y);
        painter.setClip(c.clip, c.clipRelative);
        painter.fillRect(c.fill, Colour(1, 2, 3, 0x80), false);   // without blending: stored as given
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(buffer.word(x, y), c.expectedArea.contains(x, y) ? 0x80010203u : 0u) << x << "," << y;
        EXPECT_TRUE(buffer.guardsIntact());
    }
}

// Blending images, with and without a global alpha, is checked pixel by pixel on the wide rows above.
TEST(PainterImageTest, CopyReplacesAlphaTooWithSourceAndDestinationClippedTogether)
{
    Image source(4, 3, true);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t w = bgra(uint8_t(10 * x), uint8_t(10 * y), 60, 128);
            std::memcpy(source.getPixelPointer(x, y), &w, 4);
        }
    const uint32_t background = bgra(200, 100, 50, 255);
    GuardedBuffer buffer(5, 5, background);
    Painter painter(buffer.at(0, 0), 5, 5, buffer.stride());
    painter.drawImage(source, {1, 0, 10, 10}, {-1, 3}, false, 0);
    // Source (1..3, 0..2) to (-1..1, 3..5): visible part is source x 2..3, rows 0..1 at (0..1, 3..4).
    EXPECT_EQ(buffer.word(0, 3), bgra(20, 0, 60, 128));
    EXPECT_EQ(buffer.word(1, 4), bgra(30, 10, 60, 128));
    EXPECT_EQ(buffer.word(2, 3), background);
    EXPECT_EQ(buffer.word(0, 2), background);
    EXPECT_TRUE(buffer.guardsIntact());
}

TEST(PainterShapeTest, OutlineAndLinesCoverTheRightPixels)
{
    GuardedBuffer buffer(6, 5);
    Painter painter(buffer.at(0, 0), 6, 5, buffer.stride());
    painter.drawRect({1, 1, 4, 3}, Colour(255, 255, 255));
    const char* expected[] = {"......", ".XXXX.", ".X..X.", ".XXXX.", "......"};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(buffer.word(x, y) != 0, expected[y][x] == 'X') << x << "," << y;

    GuardedBuffer column(1, 4);
    Painter columnPainter(column.at(0, 0), 1, 4, column.stride());
    columnPainter.drawVerticalLine(0, Colour(255, 255, 255), 0.5f, 3.0f);
    EXPECT_EQ(column.at(0, 0)[3], 128) << "half-covered end";
    EXPECT_EQ(column.word(0, 1), 0xffffffffu);
    EXPECT_EQ(column.word(0, 2), 0xffffffffu);
    EXPECT_EQ(column.word(0, 3), 0u);
}

TEST(PainterShapeTest, AntiAliasedDiscAndLineAreSymmetricAndOfTheRightSize)
{
    const int size = 41;
    GuardedBuffer buffer(size, size);
    Painter painter(buffer.at(0, 0), size, size, buffer.stride());
    painter.fillCircle(Colour(255, 255, 255), 20.5f, 20.5f, 15.0f);
    double covered = 0.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint8_t a = buffer.at(x, y)[3];
            covered += a / 255.0;
            ASSERT_EQ(a, buffer.at(size - 1 - x, y)[3]);
            ASSERT_EQ(a, buffer.at(y, x)[3]);
        }
    EXPECT_NEAR(covered, 3.14159265 * 15.0 * 15.0, 3.0);
    EXPECT_EQ(buffer.word(20, 20), 0xffffffffu);
    EXPECT_EQ(buffer.word(2, 2), 0u);
    EXPECT_TRUE(buffer.guardsIntact());

    GuardedBuffer lines(12, 5);
    Painter linePainter(lines.at(0, 0), 12, 5, lines.stride());
    linePainter.drawLine(2.0f, 2.5f, 10.0f, 2.5f, Colour(255, 255, 255));
    for (int x = 3; x < 9; ++x) {
        EXPECT_EQ(lines.word(x, 2), 0xffffffffu) << x;
        EXPECT_EQ(lines.word(x, 1), 0u) << x;
        EXPECT_EQ(lines.word(x, 3), 0u) << x;
    }
    EXPECT_TRUE(lines.guardsIntact());
}

TEST(PainterShapeTest, OutlinesEllipsesAndArcsCoverWhatTheySay)
{
    const Colour white(255, 255, 255);
    auto alphaSum = [](GuardedBuffer& b) {
        double sum = 0.0;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                sum += b.at(x, y)[3] / 255.0;
        return sum;
    };
    {
        SCOPED_TRACE("rounded outline: a ring, the inside untouched");
        GuardedBuffer buffer(40, 30);
        Painter painter(buffer.at(0, 0), 40, 30, buffer.stride());
        painter.drawRoundedRect({5, 5, 30, 20}, 4.0f, white, 2.0f);
        EXPECT_EQ(buffer.word(20, 5), 0xffffffffu);
        EXPECT_EQ(buffer.word(20, 6), 0xffffffffu);
        EXPECT_EQ(buffer.word(20, 7), 0u);
        EXPECT_EQ(buffer.word(20, 15), 0u);
        EXPECT_EQ(buffer.word(5, 5), 0u) << "the corner is rounded off";
        EXPECT_EQ(buffer.word(20, 4), 0u);
    }
    {
        SCOPED_TRACE("ellipse area");
        GuardedBuffer buffer(60, 30);
        Painter painter(buffer.at(0, 0), 60, 30, buffer.stride());
        painter.fillEllipse({5, 5, 50, 20}, white);
        EXPECT_NEAR(alphaSum(buffer), 3.14159265 * 25 * 10, 6.0);
        EXPECT_EQ(buffer.word(30, 15), 0xffffffffu);
        EXPECT_TRUE(buffer.guardsIntact());
    }
    {
        SCOPED_TRACE("arc: the upper half only, anticlockwise from the right");
        GuardedBuffer buffer(40, 40);
        Painter painter(buffer.at(0, 0), 40, 40, buffer.stride());
        painter.drawArc(20.0f, 20.0f, 15.0f, 0.0f, 3.14159265f, white, 2.0f);
        EXPECT_EQ(buffer.at(20, 5)[3], 255) << "top";
        EXPECT_EQ(buffer.at(20, 34)[3], 0) << "bottom";
        EXPECT_EQ(buffer.at(20, 20)[3], 0) << "centre";
        EXPECT_NEAR(alphaSum(buffer), 3.14159265 * 15 * 2 + 3.14159265, 8.0) << "half the ring plus two round ends";
    }
}

TEST(PainterShapeTest, WildCoordinatesStayInsideTheTarget)
{
    const float nan = std::nanf(""), huge = 3.0e30f;
    const struct {
        float a, b, c, d;
        const char* what;
    } cases[] = {
        {nan, 1.0f, 5.0f, 5.0f, "not a number"},
        {-huge, -huge, huge, huge, "a line across everything"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GuardedBuffer buffer(8, 8);
        Painter painter(buffer.at(0, 0), 8, 8, buffer.stride());
        painter.drawLine(c.a, c.b, c.c, c.d, Colour(255, 255, 255));
        painter.fillCircle(Colour(255, 255, 255), c.a, c.b, c.c);
        painter.drawVerticalLine(3, Colour(255, 255, 255), c.a, c.d);
        painter.drawHorizontalLine(3, c.b, c.c, Colour(255, 255, 255));
        EXPECT_TRUE(buffer.guardsIntact());
    }
}

class PainterTextTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createFontEngine()); }
    void TearDown() override { destroyFontEngine(); }
};

TEST_F(PainterTextTest, GlyphsSitAtTheirOffsetsFromTheGivenTopAndStayInTheRectangle)
{
    const int width = 80, height = 30;
    GuardedBuffer buffer(width, height, bgra(0, 0, 0, 255));
    Painter painter(buffer.at(0, 0), width, height, buffer.stride());
    painter.setFontHeight(14.0f);
    painter.drawText("Hx", Point(5, 8), Colour(255, 255, 255));

    const Glyph* h = painter.getFont().getGlyph('H');
    ASSERT_NE(h, nullptr);
    auto highestInked = [&](int x0, int x1) {
        for (int y = 0; y < height; ++y)
            for (int x = x0; x < x1; ++x)
                if (buffer.at(x, y)[1] > 128)
                    return y;
        return -1;
    };
    const int split = 5 + static_cast<int>(h->advance);
    EXPECT_EQ(highestInked(0, split), 8) << "capitals start at the given top";
    EXPECT_GT(highestInked(split, width), 10) << "x is drawn at its glyph's offset below the capitals";
    EXPECT_TRUE(buffer.guardsIntact());
}
