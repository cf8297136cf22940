#pragma once
#include "String.h"

#include <cstdint>

namespace q9framework {

/** A byte stream. Typed access is little-endian on every host (writeIntBigEndian is the one exception).
    Readers return 0 (or the empty string) when the stream delivers nothing; short reads are not reported.
    A stream is used by one thread at a time. */
class Stream {
public:
    virtual ~Stream() = default;

    virtual int64_t write(const void* bytes, int64_t count) = 0;
    virtual int64_t read(void* bytes, int64_t count) = 0;
    virtual int64_t getPosition() = 0;
    virtual int64_t getLength() = 0;
    virtual void setPosition(int64_t position) = 0;
    virtual void skip(int64_t n) { setPosition(getPosition() + n); }

    bool isWritable() const noexcept { return writable; }
    bool isExhausted() { return getPosition() >= getLength(); }

    void writeByte(uint8_t value);
    uint8_t readByte();
    /** True when the byte is above 0 as a signed value (0x80..0xFF read false). */
    bool readBool();
    void writeShort(int16_t value);
    int16_t readShort();
    void writeInt(int32_t value);
    int32_t readInt();
    void writeIntBigEndian(int32_t value);
    void writeInt64(int64_t value);
    int64_t readInt64();
    void writeFloat(float value);
    float readFloat();
    void writeDouble(double value);
    double readDouble();
    /** u32 byte count (UTF-8 length + 1), the bytes, one NUL. */
    void writeString(const String& text);
    /** u32 count N; 0 gives the empty string; otherwise N bytes are read and the text up to the first
        NUL is kept. A count past the end of the stream reads what is there. */
    String readString();

protected:
    bool writable = false;
};

} // namespace q9framework
