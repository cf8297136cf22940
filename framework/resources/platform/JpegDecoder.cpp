// JPEG through libjpeg(-turbo), asking it for blue-green-red-alpha output (JCS_EXT_BGRA, opaque alpha),
// which is already premultiplied. libjpeg reports fatal errors by calling error_exit, which must not
// return: we longjmp out of it. The jump crosses only the C function decodeInto, which holds no C++
// objects; the Image it writes into is created and owned by the caller.
#include "framework/resources/platform/ImageDecoders.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace q9framework::platform {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    jmp_buf escape;
};

void exitByJump(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

void silence(j_common_ptr) {}

struct Target {
    Image* image;                         // filled in by the callback below, once the size is known
    Image (*make)(int32_t w, int32_t h);
};

// Returns true when every scan line arrived. No C++ object with a destructor lives in this frame.
bool decodeInto(const uint8_t* bytes, size_t size, Target& target)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = exitByJump;
    errors.base.output_message = silence;
    if (setjmp(errors.escape) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Judged on the frame header, before anything is decoded: for a progressive file
    // jpeg_start_decompress already reads every scan into coefficient buffers of the full size, so a
    // few hundred bytes claiming 65000 x 65000 pixels would cost gigabytes there.
    if (info.image_width < 1 || info.image_height < 1 || info.image_width > 0x7FFF || info.image_height > 0x7FFF
        || uint64_t{info.image_width} * info.image_height > maxDecodedPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    if (info.output_width != info.image_width || info.output_height != info.image_height
        || info.output_components != 4) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *target.image = target.make(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height));
    if (target.image->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = target.image->getLinePointer(static_cast<int32_t>(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break;
    }
    // libjpeg pads a truncated or damaged stream with grey and only warns; artwork that arrives that way
    // is a broken file, not a picture.
    const bool complete = info.output_scanline == info.output_height && errors.base.num_warnings == 0;
    if (complete)
        jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return complete;
}

Image makeImage(int32_t w, int32_t h) { return Image(w, h, false); }

} // namespace

Image decodeJpeg(const uint8_t* bytes, size_t size)
{
    Image image;
    Target target{&image, makeImage};
    if (!decodeInto(bytes, size, target))
        return Image();
    return image;
}

} // namespace q9framework::platform
