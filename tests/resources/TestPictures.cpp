#include "TestPictures.h"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace testpictures {

std::vector<uint8_t> makePng(int width, int height, const std::vector<uint8_t>& rgba)
{
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, rgba.data(), 0, nullptr) == 0)
        return {};
    std::vector<uint8_t> bytes(size);
    if (png_image_write_to_memory(&png, bytes.data(), &size, 0, rgba.data(), 0, nullptr) == 0)
        return {};
    bytes.resize(size);
    return bytes;
}

std::vector<uint8_t> makeJpeg(int width, int height, uint8_t red, uint8_t green, uint8_t blue, bool progressive)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[x * 3] = red;
        row[x * 3 + 1] = green;
        row[x * 3 + 2] = blue;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(out, out + outSize);
    jpeg_destroy_compress(&info);
    free(out);
    return bytes;
}

std::vector<uint8_t> makeWav16(int channels, int sampleRate, const std::vector<int16_t>& interleaved)
{
    std::vector<uint8_t> b;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i))); };
    auto u16 = [&](uint32_t v) { for (int i = 0; i < 2; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i))); };
    const uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    u32(36 + dataBytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    u32(16);
    u16(1);
    u16(static_cast<uint32_t>(channels));
    u32(static_cast<uint32_t>(sampleRate));
    u32(static_cast<uint32_t>(sampleRate * channels * 2));
    u16(static_cast<uint32_t>(channels * 2));
    u16(16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    u32(dataBytes);
    for (int16_t s : interleaved)
        u16(static_cast<uint16_t>(s));
    return b;
}

std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::string path = std::string(::testing::TempDir()) + std::to_string(::getpid()) + "_" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

} // namespace testpictures
