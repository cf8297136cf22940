#pragma once
// Small PNG, JPEG and WAV files the image and pack tests make themselves, through the same libraries a
// user's artwork tools would use, so decoding is checked against real encoders.
#include <cstdint>
#include <string>
#include <vector>

namespace testpictures {

/** A PNG of width x height pixels from straight (not premultiplied) RGBA bytes, row by row. */
std::vector<uint8_t> makePng(int width, int height, const std::vector<uint8_t>& rgba);
/** A baseline (or progressive) JPEG of width x height filled with one RGB colour, quality 100. */
std::vector<uint8_t> makeJpeg(int width, int height, uint8_t red, uint8_t green, uint8_t blue,
                              bool progressive = false);
/** A 16-bit PCM WAV of the given interleaved samples. */
std::vector<uint8_t> makeWav16(int channels, int sampleRate, const std::vector<int16_t>& interleaved);

/** Writes bytes to a new file under the test temp folder; returns its path. */
std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

} // namespace testpictures
