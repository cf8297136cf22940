#include "framework/resources/Image.h"
#include "framework/core/MemoryStream.h"

#include "TestPictures.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstring>
#include <vector>

using namespace q9framework;

namespace {

// Pixel (x, y) as a little-endian word 0xAARRGGBB.
uint32_t wordAt(const Image& image, int x, int y)
{
    uint32_t w = 0;
    std::memcpy(&w, image.getPixelPointer(x, y), 4);
    return w;
}

void setWord(const Image& image, int x, int y, uint32_t w) { std::memcpy(image.getPixelPointer(x, y), &w, 4); }

// A w x h image whose every pixel is distinct, so misplaced rows or columns show.
Image patterned(int w, int h, int margin = Image::defaultMargin)
{
    Image image(w, h, true, margin);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setWord(image, x, y, 0xFF000000u | static_cast<uint32_t>(y << 8 | x));
    return image;
}

bool marginIsZero(const Image& image)
{
    const int m = image.getMargin();
    for (int y = -m; y < image.getHeight() + m; ++y)
        for (int x = -m; x < image.getWidth() + m; ++x) {
            const bool visible = x >= 0 && y >= 0 && x < image.getWidth() && y < image.getHeight();
            if (!visible && wordAt(image, x, y) != 0)
                return false;
        }
    return true;
}

std::vector<uint8_t> recordOf(const Image& image)
{
    MemoryStream s;
    EXPECT_TRUE(image.writeRecord(s));
    const auto* p = static_cast<const uint8_t*>(s.getBlock().getData());
    return std::vector<uint8_t>(p, p + s.getBlock().getSize());
}

} // namespace

TEST(Image, AllocationGeometry)
{
    EXPECT_FALSE(Image(-5, 0, true).hasStorage());
    const Image tall(0, 5, true);
    EXPECT_TRUE(tall.hasStorage());
    EXPECT_TRUE(tall.isNull()) << "width 0 is a null image even with storage";

    const Image image(10, 4, false, 16);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.getStride(), 168);
    EXPECT_EQ(image.getPixels() - image.getData(), 16 * 168 + 64);
    EXPECT_EQ(image.getPixelPointer(-16, -16), image.getData());
    EXPECT_TRUE(marginIsZero(image)) << "the margin is zeroed even when the picture is not cleared";

    EXPECT_EQ(Image(3, 2, true, -4).getMargin(), 0);
}

TEST(Image, WrapReferencesTheCallersPixelsCopyDoesNot)
{
    std::vector<uint32_t> pixels(5 * 3, 0x11223344u);
    const int stride = 5 * 4;
    Image wrapped(reinterpret_cast<uint8_t*>(pixels.data()), 4, 3, stride, true);
    EXPECT_FALSE(wrapped.ownsData());
    setWord(wrapped, 1, 1, 0xAABBCCDDu);
    EXPECT_EQ(pixels[1 * 5 + 1], 0xAABBCCDDu);

    Image copied(reinterpret_cast<uint8_t*>(pixels.data()), 4, 3, stride, false);
    EXPECT_EQ(wordAt(copied, 1, 1), 0xAABBCCDDu);
    pixels[0] = 0;
    EXPECT_EQ(wordAt(copied, 0, 0), 0x11223344u);
    EXPECT_TRUE(marginIsZero(copied));
}

TEST(Image, PixelChanges)
{
    Image image(3, 2, true);
    image.fill(10, 20, 30, 40);
    EXPECT_EQ(wordAt(image, 2, 1), 0x280A141Eu) << "bytes blue, green, red, alpha";
    EXPECT_TRUE(marginIsZero(image));

    image.fill(255, 255, 255, 255);
    image.premultiply();
    EXPECT_EQ(wordAt(image, 1, 1), 0xFFFEFEFEu) << "a division by 256, not 255";

    image.clearRect({-5, -5, 100, 100});
    image.setAlphaBits(255);
    EXPECT_EQ(wordAt(image, 2, 1), 0xFF000000u) << "alpha set, colours untouched";
    EXPECT_TRUE(marginIsZero(image)) << "clearRect and setAlphaBits stay inside the picture";

    setWord(image, 0, 0, 0x44332211u);
    image.swizzle(3, 2, 1, 0);
    EXPECT_EQ(wordAt(image, 0, 0), 0x11223344u);
}

TEST(Image, MoveRectIsOverlapSafeInBothDirections)
{
    const struct { Rectangle source; Point destination; const char* what; } cases[] = {
        {{0, 0, 3, 3}, {1, 1}, "down and right over itself"},
        {{1, 1, 3, 3}, {0, 0}, "up and left over itself"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Image image = patterned(5, 5);
        const Image before = image.clone();
        image.moveRect(c.source, c.destination);
        for (int y = 0; y < c.source.height; ++y)
            for (int x = 0; x < c.source.width; ++x)
                ASSERT_EQ(wordAt(image, c.destination.x + x, c.destination.y + y),
                          wordAt(before, c.source.x + x, c.source.y + y));
    }
}

TEST(Image, FlipCloneSetMarginAndRescale)
{
    Image image = patterned(3, 3);
    image.flipVertically();
    EXPECT_EQ(wordAt(image, 1, 0), 0xFF000201u);
    EXPECT_EQ(wordAt(image, 1, 2), 0xFF000001u);


    Image other = image;
    image.setMargin(2);
    EXPECT_EQ(wordAt(image, 2, 2), 0xFF000002u);
    EXPECT_TRUE(marginIsZero(image));
    EXPECT_EQ(other.getMargin(), 16) << "other handles keep the old storage";

    // Halving averages each 2 x 2 block of the premultiplied pixels.
    Image four(2, 2, true, 0);
    setWord(four, 0, 0, 0xFF000000u);
    setWord(four, 1, 0, 0xFF0000FFu);
    setWord(four, 0, 1, 0xFF0000FFu);
    setWord(four, 1, 1, 0xFF0000FFu);
    EXPECT_EQ(wordAt(four.rescaled(1, 1, false), 0, 0), 0xFF0000BFu) << "(0 + 3 * 255) / 4, rounded";
}

TEST(Image, NullRecordIs28BytesAndReadsBackNull)
{
    // Width 0 with a height (and the reverse) has storage but is still a null image.
    for (const Image& null : {Image(), Image(0, 5, true), Image(5, 0, true)}) {
        SCOPED_TRACE(null.hasStorage() ? "with storage" : "no storage");
        const std::vector<uint8_t> record = recordOf(null);
        EXPECT_EQ(record.size(), 28u);
        MemoryStream in(MemoryBlock(record.data(), record.size(), true));
        Image target = patterned(2, 2);
        ASSERT_TRUE(target.readRecord(in));
        EXPECT_TRUE(target.isNull());
        EXPECT_TRUE(in.isExhausted()) << "the whole record is consumed";
    }
}

TEST(Image, MalformedRecordsLeaveTheImageUnchanged)
{
    const std::vector<uint8_t> good = recordOf(patterned(3, 2, 1));
    auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    };
    // Offsets: magic 0..11, width 12, height 16, stride 20, margin 24, byte count 28, pixels 36.
    std::vector<uint8_t> strideLie = good;
    put32(strideLie, 20, 4);
    // Height, stride and margin at their limits: their product once overflowed 64 bits.
    std::vector<uint8_t> limits = good;
    put32(limits, 16, 0x7FFFFFFFu);
    put32(limits, 20, 0xFFFFFFFFu);
    put32(limits, 24, 0xFFFFFFFFu);
    for (const auto* bytes : {&strideLie, &limits}) {
        Image target = patterned(2, 2);
        const Image before = target;
        MemoryStream in(MemoryBlock(bytes->data(), bytes->size(), true));
        EXPECT_FALSE(target.readRecord(in));
        EXPECT_EQ(target, before);
        EXPECT_EQ(wordAt(target, 1, 1), 0xFF000101u);
    }
}

TEST(Image, DecodesPngIntoPremultipliedBgra)
{
    // Opaque red, half-transparent white, transparent green, opaque blue.
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 255, 255, 255, 128, 0, 255, 0, 0, 0, 0, 255, 255};
    const std::vector<uint8_t> png = testpictures::makePng(2, 2, rgba);
    ASSERT_FALSE(png.empty());
    const Image image = Image::decode(png.data(), png.size());
    ASSERT_EQ(image.getSize(), Point(2, 2));
    EXPECT_EQ(image.getMargin(), 16);
    EXPECT_EQ(wordAt(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(wordAt(image, 1, 0), 0x80808080u) << "255 * 128 / 255 = 128";
    EXPECT_EQ(wordAt(image, 0, 1), 0x00000000u);
    EXPECT_EQ(wordAt(image, 1, 1), 0xFF0000FFu);
    EXPECT_TRUE(marginIsZero(image));

    EXPECT_TRUE(Image::decode(png.data(), png.size() / 2).isNull()) << "truncated";
}

TEST(Image, DecodesJpegOpaque)
{
    const std::vector<uint8_t> jpeg = testpictures::makeJpeg(16, 8, 200, 100, 50);
    const Image image = Image::decode(jpeg.data(), jpeg.size());
    ASSERT_EQ(image.getSize(), Point(16, 8));
    const uint8_t* p = image.getPixelPointer(7, 3);
    EXPECT_NEAR(p[0], 50, 3);
    EXPECT_NEAR(p[1], 100, 3);
    EXPECT_NEAR(p[2], 200, 3);
    EXPECT_EQ(p[3], 255);

    const uint8_t other[16] = {'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_TRUE(Image::decode(other, sizeof(other)).isNull());

    // Found by fuzzing: a small JPEG whose frame header claims 32767 x 32767 pixels made the decoder
    // take gigabytes and minutes (a progressive one inside libjpeg's own start of decoding, before the
    // decoded size could be refused); both are refused from the header, with no memory to speak of.
    for (const bool progressive : {false, true}) {
        std::vector<uint8_t> huge = testpictures::makeJpeg(16, 8, 200, 100, 50, progressive);
        const uint8_t frameMarker = progressive ? 0xC2 : 0xC0;
        for (size_t i = 0; i + 8 < huge.size(); ++i)
            if (huge[i] == 0xFF && huge[i + 1] == frameMarker) {
                huge[i + 5] = 0x7F, huge[i + 6] = 0xFF, huge[i + 7] = 0x7F, huge[i + 8] = 0xFF;
                break;
            }
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        EXPECT_TRUE(Image::decode(huge.data(), huge.size()).isNull()) << "progressive " << progressive;
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256 * 1024) << "kilobytes of peak memory";
    }
}
