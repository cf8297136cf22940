#include "framework/core/MemoryStream.h"

#include <gtest/gtest.h>

#include <vector>

using namespace q9framework;

namespace {
std::vector<uint8_t> bytesOf(const MemoryStream& s)
{
    const auto* p = static_cast<const uint8_t*>(s.getBlock().getData());
    return std::vector<uint8_t>(p, p + s.getBlock().getSize());
}
} // namespace

TEST(Stream, TypedValuesAreLittleEndianWithOneBigEndianPrimitive)
{
    MemoryStream s;
    s.writeShort(0x0102);
    s.writeInt(0x01020304);
    s.writeIntBigEndian(0x01020304);
    s.writeInt64(0x0102030405060708LL);
    s.writeFloat(1.0f);
    s.writeDouble(-2.0);
    const std::vector<uint8_t> expected = {
        0x02, 0x01, 0x04, 0x03, 0x02, 0x01, 0x01, 0x02, 0x03, 0x04, 0x08, 0x07, 0x06, 0x05,
        0x04, 0x03, 0x02, 0x01, 0x00, 0x00, 0x80, 0x3f, 0, 0, 0, 0, 0, 0, 0x00, 0xc0};
    EXPECT_EQ(bytesOf(s), expected);

    s.setPosition(0);
    EXPECT_EQ(s.readShort(), 0x0102);
    EXPECT_EQ(s.readInt(), 0x01020304);
    EXPECT_EQ(s.readInt(), 0x04030201); // the big-endian word read back little-endian
    EXPECT_EQ(s.readInt64(), 0x0102030405060708LL);
    EXPECT_EQ(s.readFloat(), 1.0f);
    EXPECT_EQ(s.readDouble(), -2.0);
    EXPECT_TRUE(s.isExhausted());
    EXPECT_EQ(s.readInt(), 0) << "an exhausted stream reads 0";
}

TEST(Stream, StringRecords)
{
    MemoryStream s;
    s.writeString(String());
    EXPECT_EQ(bytesOf(s), (std::vector<uint8_t>{1, 0, 0, 0, 0}));

    s.clear();
    s.writeInt(0);
    s.writeString("abc");
    s.setPosition(0);
    EXPECT_TRUE(s.readString().isEmpty());
    EXPECT_EQ(s.getPosition(), 4) << "a count of 0 consumes only the count";
    EXPECT_STREQ(s.readString().toUTF8(), "abc");

    // Text stops at the first NUL; a count past the end reads what is there.
    MemoryStream t;
    t.writeInt(6);
    t.write("ab\0cd", 6);
    t.writeInt(100);
    t.write("xy", 2);
    t.setPosition(0);
    EXPECT_STREQ(t.readString().toUTF8(), "ab");
    EXPECT_STREQ(t.readString().toUTF8(), "xy");
}

TEST(Stream, BoolIsPositiveSignedByte)
{
    const uint8_t bytes[] = {0, 1, 0x7f, 0x80, 0xff};
    MemoryStream s(MemoryBlock(bytes, sizeof(bytes), false));
    const bool expected[] = {false, true, true, false, false};
    for (bool e : expected)
        EXPECT_EQ(s.readBool(), e);
}

TEST(MemoryStream, WrappedBlockIsReadOnlyAndPositionClamps)
{
    char data[4] = {1, 2, 3, 4};
    MemoryStream s(MemoryBlock(data, 4, false));
    EXPECT_EQ(s.write("xx", 2), 0);
    EXPECT_EQ(data[0], 1);
    s.setPosition(99);
    EXPECT_EQ(s.getPosition(), 4);
    s.setPosition(3);
    char out[8] = {};
    EXPECT_EQ(s.read(out, 8), 1);
    EXPECT_EQ(out[0], 4);
}
