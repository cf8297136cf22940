#include "framework/resources/Sample.h"

#include "framework/core/FileContents.h"
#include "framework/core/Stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace q9framework {

namespace {

bool validShape(uint32_t channels, uint32_t bits) noexcept
{
    return channels >= 1 && channels <= Sample::maxChannels && bits >= 8 && bits <= 64 && bits % 8 == 0;
}

uint32_t readU32(const uint8_t* p) noexcept
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t readU16(const uint8_t* p) noexcept { return static_cast<uint16_t>(p[0] | p[1] << 8); }

} // namespace

Sample::Sample(uint32_t numChannelsIn, uint32_t bits, uint64_t length, uint32_t margin, double rate)
{
    if (validShape(numChannelsIn, bits) && allocate(numChannelsIn, bits, length, margin))
        sampleRate = rate;
}

Sample::Sample(const Sample& other) { *this = other; }

Sample::Sample(Sample&& other) noexcept { *this = std::move(other); }

Sample& Sample::operator=(const Sample& other)
{
    if (this == &other)
        return *this;
    reset();
    if (other.isEmpty() || !allocate(other.numChannels, other.bitsPerSample, other.lengthFrames, other.marginFrames))
        return *this;
    sampleRate = other.sampleRate;
    const size_t bytes = static_cast<size_t>((lengthFrames + 2 * uint64_t(marginFrames)) * (bitsPerSample / 8));
    for (uint32_t c = 0; c < numChannels; ++c)
        std::memcpy(channels[c], other.channels[c], bytes);
    return *this;
}

Sample& Sample::operator=(Sample&& other) noexcept
{
    if (this == &other)
        return *this;
    reset();
    numChannels = other.numChannels;
    bitsPerSample = other.bitsPerSample;
    marginFrames = other.marginFrames;
    lengthFrames = other.lengthFrames;
    sampleRate = other.sampleRate;
    std::memcpy(channels, other.channels, sizeof(channels));
    std::memset(other.channels, 0, sizeof(other.channels));
    other.numChannels = 0;
    other.lengthFrames = 0;
    return *this;
}

Sample::~Sample() { reset(); }

void Sample::reset() noexcept
{
    for (auto*& channel : channels) {
        std::free(channel);
        channel = nullptr;
    }
    numChannels = bitsPerSample = marginFrames = 0;
    lengthFrames = 0;
    sampleRate = 0.0;
}

bool Sample::allocate(uint32_t channelCount, uint32_t bits, uint64_t length, uint32_t margin) noexcept
{
    const uint64_t frames = length + 2 * uint64_t(margin);
    if (frames < length || frames > (uint64_t(1) << 40) / (bits / 8))
        return false;
    const size_t bytes = static_cast<size_t>(frames * (bits / 8));
    for (uint32_t c = 0; c < channelCount; ++c) {
        // calloc: the margins must read as silence, and a channel of length 0 still gets a buffer.
        channels[c] = static_cast<uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1));
        if (channels[c] == nullptr) {
            reset();
            return false;
        }
    }
    numChannels = channelCount;
    bitsPerSample = bits;
    lengthFrames = length;
    marginFrames = margin;
    return true;
}

uint8_t* Sample::getChannelData(uint32_t channel) const noexcept
{
    if (channel >= numChannels)
        return nullptr;
    return channels[channel] + static_cast<size_t>(marginFrames) * (bitsPerSample / 8);
}

float* Sample::getFloatChannel(uint32_t channel) const noexcept
{
    return bitsPerSample == 32 ? reinterpret_cast<float*>(getChannelData(channel)) : nullptr;
}

bool Sample::writeRecord(Stream& stream) const
{
    if (!stream.isWritable())
        return false;
    stream.writeInt(static_cast<int32_t>(recordVersion));
    stream.writeInt(static_cast<int32_t>(numChannels));
    stream.writeInt(static_cast<int32_t>(bitsPerSample));
    stream.writeInt(static_cast<int32_t>(marginFrames));
    stream.writeByte(isEmpty() ? 0 : 1);
    stream.writeInt64(static_cast<int64_t>(lengthFrames));
    stream.writeDouble(sampleRate);
    const int64_t bytes = static_cast<int64_t>(getChannelBytes());
    for (uint32_t c = 0; c < numChannels; ++c)
        if (stream.write(getChannelData(c), bytes) != bytes)
            return false;
    return true;
}

bool Sample::readRecord(Stream& stream)
{
    reset();
    // A header cut short would read as zeros, i.e. as a valid sample of no frames: refuse it.
    constexpr int64_t headerBytesAfterVersion = 4 + 4 + 4 + 1 + 8 + 8;
    if (static_cast<uint32_t>(stream.readInt()) != recordVersion
        || stream.getLength() - stream.getPosition() < headerBytesAfterVersion)
        return false;
    const uint32_t channelCount = static_cast<uint32_t>(stream.readInt());
    const uint32_t bits = static_cast<uint32_t>(stream.readInt());
    const uint32_t margin = static_cast<uint32_t>(stream.readInt());
    const bool hasData = stream.readByte() == 1;
    const uint64_t length = static_cast<uint64_t>(stream.readInt64());
    const double rate = stream.readDouble();
    if (!hasData || channelCount == 0)
        return channelCount == 0;   // a sample without audio reads as the empty sample
    if (!validShape(channelCount, bits) || margin > std::max<uint64_t>(length, minMarginBound))
        return false;
    // The audio must be in the stream before anything is allocated for it.
    const int64_t left = stream.getLength() - stream.getPosition();
    const uint64_t bytesPerChannel = length * (bits / 8);
    if (length > (uint64_t(1) << 40) || left < 0 || bytesPerChannel * channelCount > static_cast<uint64_t>(left))
        return false;
    if (!allocate(channelCount, bits, length, margin))
        return false;
    sampleRate = rate;
    for (uint32_t c = 0; c < numChannels; ++c) {
        if (stream.read(getChannelData(c), static_cast<int64_t>(bytesPerChannel)) != static_cast<int64_t>(bytesPerChannel)) {
            reset();
            return false;
        }
    }
    return true;
}

Sample Sample::loadWavFile(const char* path)
{
    const MemoryBlock bytes = readFileContents(path);
    return decodeWav(static_cast<const uint8_t*>(bytes.getData()), static_cast<size_t>(bytes.getSize()));
}

Sample Sample::decodeWav(const uint8_t* bytes, size_t size)
{
    if (bytes == nullptr || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return Sample();
    uint16_t format = 0, channelCount = 0, bits = 0;
    uint32_t rate = 0;
    const uint8_t* data = nullptr;
    size_t dataBytes = 0;
    for (size_t at = 12; at + 8 <= size;) {
        const uint32_t chunkBytes = readU32(bytes + at + 4);
        const uint8_t* body = bytes + at + 8;
        const size_t available = size - at - 8;
        if (std::memcmp(bytes + at, "fmt ", 4) == 0 && chunkBytes >= 16 && available >= 16) {
            format = readU16(body);
            channelCount = readU16(body + 2);
            rate = readU32(body + 4);
            bits = readU16(body + 14);
            if (format == 0xFFFE && chunkBytes >= 26 && available >= 26)
                format = readU16(body + 24);   // the sub-format's first two bytes are the plain code
        } else if (std::memcmp(bytes + at, "data", 4) == 0) {
            data = body;
            dataBytes = chunkBytes < available ? chunkBytes : available;
        }
        at += 8 + static_cast<size_t>(chunkBytes) + (chunkBytes & 1);
        if (at < 8 + chunkBytes)   // wrapped
            break;
    }
    const bool integer = format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floating = format == 3 && (bits == 32 || bits == 64);
    if (data == nullptr || channelCount == 0 || channelCount > maxChannels || !(integer || floating))
        return Sample();
    const size_t frameBytes = static_cast<size_t>(channelCount) * (bits / 8);
    const uint64_t frames = dataBytes / frameBytes;
    Sample sample(channelCount, 32, frames, 0, rate);
    if (sample.isEmpty())
        return sample;
    for (uint64_t f = 0; f < frames; ++f) {
        for (uint32_t c = 0; c < channelCount; ++c) {
            const uint8_t* p = data + f * frameBytes + c * (bits / 8);
            float value = 0.0f;
            if (floating && bits == 32) {
                std::memcpy(&value, p, 4);
            } else if (floating) {
                double d = 0.0;
                std::memcpy(&d, p, 8);
                value = static_cast<float>(d);
            } else if (bits == 8) {
                value = (static_cast<int>(p[0]) - 128) / 128.0f;   // 8-bit WAV is unsigned
            } else if (bits == 16) {
                value = static_cast<int16_t>(readU16(p)) / 32768.0f;
            } else if (bits == 24) {
                const int32_t v = static_cast<int32_t>(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24);
                value = static_cast<float>(v / 2147483648.0);
            } else {
                value = static_cast<float>(static_cast<int32_t>(readU32(p)) / 2147483648.0);
            }
            sample.getFloatChannel(c)[f] = value;
        }
    }
    return sample;
}

} // namespace q9framework
