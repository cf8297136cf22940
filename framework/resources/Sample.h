#pragma once
#include <cstddef>
#include <cstdint>

namespace q9framework {

class Stream;

/** An audio sample as the resource pack stores it: up to 64 channels of `lengthFrames` frames of
    `bitsPerSample` bits each (8 to 64, a multiple of 8), with `marginFrames` zeroed frames before and
    after each channel's data, and a sample rate.
    A value type: copying copies the audio. An empty sample has no channels. Nothing throws: a failed
    allocation leaves an empty sample. One thread at a time. */
class Sample {
public:
    static constexpr uint32_t maxChannels = 64;
    static constexpr uint32_t recordVersion = 1;

    Sample() noexcept = default;
    /** Zero-filled channels; empty when the shape is invalid (no channels, more than 64, bits not a
        multiple of 8 in 8..64) or allocation fails. */
    Sample(uint32_t numChannels, uint32_t bitsPerSample, uint64_t lengthFrames, uint32_t marginFrames,
           double sampleRateHz);
    Sample(const Sample& other);
    Sample(Sample&& other) noexcept;
    Sample& operator=(const Sample& other);
    Sample& operator=(Sample&& other) noexcept;
    ~Sample();

    bool isEmpty() const noexcept { return numChannels == 0; }
    uint32_t getNumChannels() const noexcept { return numChannels; }
    uint32_t getBitsPerSample() const noexcept { return bitsPerSample; }
    uint32_t getMarginFrames() const noexcept { return marginFrames; }
    uint64_t getLengthFrames() const noexcept { return lengthFrames; }
    double getSampleRate() const noexcept { return sampleRate; }
    /** Bytes of audio per channel, margins excluded. */
    uint64_t getChannelBytes() const noexcept { return lengthFrames * (bitsPerSample / 8); }

    /** The first frame of channel ch (margin before it); null for a channel that does not exist. */
    uint8_t* getChannelData(uint32_t channel) const noexcept;
    /** The same as floats, for 32-bit samples only (null otherwise). */
    float* getFloatChannel(uint32_t channel) const noexcept;

    /** Record: u32 version 1, u32 channels, u32 bits, u32 margin frames, u8 data flag, u64 length,
        f64 rate, then each channel's audio (margins not stored). False when the stream took less. */
    bool writeRecord(Stream& stream) const;
    /** Reads a record into this sample. A version other than 1, more than 64 channels, bad bits,
        a margin wider than the audio itself (above max(length, minMarginBound) frames: the file does
        not store margins, so it cannot justify larger ones), audio larger than what remains in the
        stream, or a short read leave an empty sample and return false (the stream is then somewhere
        inside the record). */
    bool readRecord(Stream& stream);

    /** A WAV file (PCM 8/16/24/32-bit integer or 32/64-bit float, any channel count up to 64) as a
        32-bit float sample without margin. Empty when the file is not such a WAV file. */
    static Sample loadWavFile(const char* path);
    /** The same from bytes in memory. */
    static Sample decodeWav(const uint8_t* bytes, size_t size);

    /** Margins up to this many frames are accepted even around very short audio. */
    static constexpr uint32_t minMarginBound = 1024;

private:
    void reset() noexcept;
    bool allocate(uint32_t channels, uint32_t bits, uint64_t length, uint32_t margin) noexcept;

    uint32_t numChannels = 0;
    uint32_t bitsPerSample = 0;
    uint32_t marginFrames = 0;
    uint64_t lengthFrames = 0;
    double sampleRate = 0.0;
    uint8_t* channels[maxChannels] = {};   // owned, each (length + 2 * margin) frames, zero-filled
};

} // namespace q9framework
