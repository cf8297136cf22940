// fuzz_make_seeds OUTDIR: the starting corpus of every fuzz target, made from the project's own valid
// files at build time: the real effect's state chunk and its FXP/FXB images, the bundle's Audio Unit
// presets and text resources, a small resource pack with an image record, pictures and audio files
// made with the real encoders.
#include "auwrapper/VSTPresetCodec.h"
#include "framework/core/MemoryStream.h"
#include "framework/resources/ResourcePack.h"
#include "fuzz/FuzzSupport.h"
#include "tools/kelvane/AudioFile.h"

#include <jpeglib.h>
#include <png.h>
#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace q9framework;

namespace {

fs::path outRoot;

void put(const std::string& target, const std::string& name, const void* bytes, size_t size)
{
    fs::create_directories(outRoot / target);
    std::ofstream(outRoot / target / name, std::ios::binary).write(static_cast<const char*>(bytes),
                                                                   static_cast<std::streamsize>(size));
}

void put(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes)
{
    put(target, name, bytes.data(), bytes.size());
}

void copyFile(const std::string& target, const fs::path& source)
{
    fs::create_directories(outRoot / target);
    fs::copy_file(source, outRoot / target / source.filename(), fs::copy_options::overwrite_existing);
}

std::vector<uint8_t> png(int width, int height, uint32_t format)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 37);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

std::vector<uint8_t> jpeg(int width, int height, bool progressive, int components)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 80, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width * components));
    while (info.next_scanline < info.image_height) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<uint8_t>(i * 11 + info.next_scanline * 29);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

void audioSeed(const std::string& name, int format, int channels, int frames)
{
    kelvane::AudioData audio;
    audio.sampleRate = 44100;
    audio.format = format;
    audio.channels.assign(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            audio.channels[static_cast<size_t>(c)][static_cast<size_t>(i)] = static_cast<float>((i * (c + 3)) % 17) / 17.0f - 0.5f;
    const fs::path path = outRoot / "audio_file" / name;
    fs::create_directories(path.parent_path());
    std::string error;
    if (!kelvane::writeAudioFile(path.string(), audio, error))
        std::cerr << error << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: fuzz_make_seeds OUTDIR\n";
        return 2;
    }
    outRoot = argv[1];
    const fs::path bundle = KELVANE_BUNDLE_DIR;
    const fs::path resources = bundle / "Contents" / "Resources";

    {   // The real effect: its chunk, and its presets as the wrapper writes them.
        kelvanefuzz::QuietHost host;
        VSTPlugIn plugIn(host, Bundle::fromPath(bundle.string()), 512, 44100.0f);
        plugIn.open();
        void* data = nullptr;
        const int32_t size = plugIn.getChunk(true, &data);
        put("state_chunk", "kelvane.chunk", data, static_cast<size_t>(size));
        const std::string legacy = "<KELVANE uiWidth=\"600\" uiHeight=\"150\">\n    <Program name=\"x\" gain=\"1\" />\n</KELVANE>\n";
        std::vector<uint8_t> old = {0x56, 0x43, 0x32, 0x21, 0, 0, 0, 0};
        old[4] = static_cast<uint8_t>(legacy.size() + 1);
        old.insert(old.end(), legacy.begin(), legacy.end());
        old.push_back(0);
        put("state_chunk", "legacy.chunk", old);
        VSTPresetCodec codec(plugIn);
        put("vst_preset", "program.fxp", codec.saveProgram());
        put("vst_preset", "bank.fxb", codec.saveBank());
    }

    for (const auto& entry : fs::directory_iterator(resources)) {
        if (entry.path().extension() == ".aupreset") {
            copyFile("class_info", entry.path());
            copyFile("property_list", entry.path());
        }
    }
    copyFile("property_list", bundle / "Contents" / "Info.plist");
    copyFile("resource_text", resources / "TDParameters.txt");
    copyFile("resource_text", resources / "TDFactoryPresets.txt");

    {   // A pack of every entry type, and an image record alone ('I' picks the record reader).
        ResourcePack pack;
        Image image(3, 2, true);
        image.getPixelPointer(1, 1)[3] = 0x80;
        pack.addString("title", "Kelvane");
        pack.addImage("knob", image);
        const uint8_t bytes[] = {1, 2, 3, 4, 5};
        pack.addData("blob", MemoryBlock(bytes, sizeof bytes, false));
        pack.addSample("click", Sample(2, 16, 4, 2, 44100.0));
        MemoryStream out;
        pack.save(out);
        put("resource_pack", "pack.bin", out.getBlock().getData(), out.getBlock().getSize());
        MemoryStream record;
        record.write("I", 1);
        image.writeRecord(record);
        put("resource_pack", "image.rec", record.getBlock().getData(), record.getBlock().getSize());
        if (fs::exists(resources / "resources.bin"))
            copyFile("resource_pack", resources / "resources.bin");
    }

    put("image_decode", "rgba.png", png(5, 3, PNG_FORMAT_RGBA));
    put("image_decode", "grey.png", png(4, 4, PNG_FORMAT_GRAY));
    put("image_decode", "rgb.png", png(3, 5, PNG_FORMAT_RGB));
    put("image_decode", "baseline.jpg", jpeg(9, 7, false, 3));
    put("image_decode", "progressive.jpg", jpeg(17, 9, true, 3));
    put("image_decode", "grey.jpg", jpeg(8, 8, false, 1));

    audioSeed("pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 64);
    audioSeed("float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 32);
    audioSeed("pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, 64);
    audioSeed("pcm16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1, 16);
    return 0;
}
