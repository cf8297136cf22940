#include "framework/core/Colour.h"
#include "framework/core/MemoryBlock.h"
#include "framework/core/MemoryStream.h"
#include "framework/core/NumberText.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <thread>
#include <vector>

using namespace q9framework;

TEST(String, NumberFormsAndEmptiness)
{
    EXPECT_STREQ(String(3.14159, 2).toUTF8(), "3.14");
    EXPECT_EQ(String(1.0, 500).length(), 2u + 99u) << "decimals are limited to 99";
    EXPECT_EQ(String(-1e308, 99).length(), 1u + 309u + 1u + 99u) << "the longest fixed form is not cut";
    char small[4];
    EXPECT_EQ(NumberText::formatFixed(small, sizeof small, 3.14159, 2), 3u);
    EXPECT_STREQ(small, "3.1");
    EXPECT_STREQ(String(std::numeric_limits<int>::min()).toUTF8(), "-2147483648");

    EXPECT_TRUE(String(static_cast<const char*>(nullptr)).isEmpty());
}

TEST(String, NumbersKeepTheDecimalPointUnderAHostsCommaLocale)
{
    const ScopedCommaLocale comma;
    if (!comma.isActive())
        GTEST_SKIP() << "no decimal-comma locale can be had here";
    ASSERT_STREQ(String::formatted("%.1f", 0.5).toUTF8(), "0,5") << "the locale is in effect";
    EXPECT_STREQ(String(0.5, 2).toUTF8(), "0.50");
    EXPECT_EQ(String(" 0.75 dB").getDoubleValue(), 0.75);
    EXPECT_EQ(String("0x1p-2").getDoubleValue(), 0.25);
}

TEST(String, SharingConcatenationAndOrder)
{
    String a("abc");
    String b = a;
    b += "def";
    EXPECT_STREQ(a.toUTF8(), "abc") << "appending to a copy leaves the original alone";
    EXPECT_STREQ(b.toUTF8(), "abcdef");
    EXPECT_STREQ(("x" + a + String("y")).toUTF8(), "xabcy");

    EXPECT_LT(String("B"), String("a")) << "byte order, case-sensitive";
    EXPECT_EQ(String("é"), String("\xc3\xa9"));
    EXPECT_EQ(String("h\xc3\xa9llo").numCharacters(), 5);

    a = a; // self-assignment keeps the text
    EXPECT_STREQ(a.toUTF8(), "abc");
}

TEST(MemoryBlock, OwnershipAndSizing)
{
    const char text[] = "hello";
    MemoryBlock wrapped(text, 5, false);
    EXPECT_EQ(wrapped.getData(), text);
    EXPECT_FALSE(wrapped.setSize(10));
    EXPECT_EQ(wrapped.getSize(), 5u);

    MemoryBlock copied(text, 5, true);
    MemoryBlock shared = copied;
    ASSERT_TRUE(copied.setSize(8));
    EXPECT_EQ(shared.getSize(), 8u) << "copies share one block";
    EXPECT_EQ(std::memcmp(shared.getData(), "hello", 5), 0) << "growth keeps the bytes";

    MemoryBlock detached = copied;
    ASSERT_TRUE(detached.copyFrom(wrapped));
    EXPECT_EQ(copied.getSize(), 8u) << "copyFrom gives only this handle a new block";
    EXPECT_TRUE(detached.ownsData());
    EXPECT_EQ(detached.getSize(), 5u);

    ASSERT_TRUE(detached.setSize(0));
}

TEST(MemoryBlock, RecordRoundTripAndDamagedSize)
{
    MemoryStream s;
    MemoryBlock("abc", 3, true).writeRecord(s);
    s.setPosition(0);
    MemoryBlock back = MemoryBlock::readRecord(s);
    ASSERT_EQ(back.getSize(), 3u);
    EXPECT_EQ(std::memcmp(back.getData(), "abc", 3), 0);

    MemoryStream hostile;
    hostile.writeInt64(int64_t{1} << 50);
    hostile.write("ab", 2);
    hostile.setPosition(0);
    EXPECT_TRUE(MemoryBlock::readRecord(hostile).isNull()) << "a size past the data is refused, not allocated";
}

TEST(MemoryBlock, HandlesCrossThreads)
{
    MemoryBlock block(uint64_t{16});
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([block] {
            for (int i = 0; i < 10000; ++i) {
                MemoryBlock copy = block;
                (void)copy;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(block.getSize(), 16u);
}

TEST(Colour, WordTextAndArithmetic)
{
    const Colour c(0x12, 0x34, 0x56, 0x78);
    EXPECT_EQ(c.getARGB(), 0x78123456u);
    EXPECT_EQ(Colour::fromString("#78123456"), c);
    EXPECT_EQ(Colour::fromString("#7812345G"), Colour());

    EXPECT_EQ(Colour(200, 100, 0, 200).withMultipliedAlpha(2.0f).getAlpha(), 255);
    EXPECT_EQ(Colour(200, 100, 0, 200).withMultipliedBrightness(1.5f), Colour(255, 150, 0, 200));
    EXPECT_EQ(Colour(255, 128, 1, 128).premultiplied(), Colour(128, 64, 0, 128));

    EXPECT_EQ(Colour::fromHSV(0.0, 0.0, 0.5), Colour(128, 128, 128));
}
