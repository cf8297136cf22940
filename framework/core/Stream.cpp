#include "Stream.h"

#include <cstring>
#include <vector>

namespace q9framework {

namespace {
template <typename T>
void writeLE(Stream& s, T value)
{
    uint8_t bytes[sizeof(T)];
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    s.write(bytes, sizeof(T));
}

template <typename T>
T readLE(Stream& s)
{
    uint8_t bytes[sizeof(T)] = {};
    if (s.read(bytes, sizeof(T)) != static_cast<int64_t>(sizeof(T)))
        return T{};
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    T value;
    std::memcpy(&value, &bits, sizeof(T));
    return value;
}
} // namespace

void Stream::writeByte(uint8_t value) { write(&value, 1); }
uint8_t Stream::readByte() { return readLE<uint8_t>(*this); }
bool Stream::readBool() { return static_cast<int8_t>(readByte()) > 0; }
void Stream::writeShort(int16_t value) { writeLE(*this, value); }
int16_t Stream::readShort() { return readLE<int16_t>(*this); }
void Stream::writeInt(int32_t value) { writeLE(*this, value); }
int32_t Stream::readInt() { return readLE<int32_t>(*this); }
void Stream::writeInt64(int64_t value) { writeLE(*this, value); }
int64_t Stream::readInt64() { return readLE<int64_t>(*this); }
void Stream::writeFloat(float value) { writeLE(*this, value); }
float Stream::readFloat() { return readLE<float>(*this); }
void Stream::writeDouble(double value) { writeLE(*this, value); }
double Stream::readDouble() { return readLE<double>(*this); }

void Stream::writeIntBigEndian(int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    write(bytes, 4);
}

void Stream::writeString(const String& text)
{
    const uint32_t count = static_cast<uint32_t>(text.length() + 1);
    writeInt(static_cast<int32_t>(count));
    write(text.toUTF8(), count); // the bytes and the terminating NUL
}

String Stream::readString()
{
    const uint32_t count = static_cast<uint32_t>(readInt());
    if (count == 0)
        return String();
    // Never trust the count beyond what the stream holds.
    const int64_t left = getLength() - getPosition();
    const int64_t n = left < static_cast<int64_t>(count) ? (left > 0 ? left : 0) : static_cast<int64_t>(count);
    std::vector<char> buffer(static_cast<size_t>(n) + 1, 0);
    const int64_t got = read(buffer.data(), n);
    return String(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

} // namespace q9framework
