#pragma once
#include "framework/gui/Texture.h"

#include <cstdint>

namespace q9framework {

class OpenGLContext;

/** A texture of an OpenGLContext: RGBA8 storage filled from blue-green-red-alpha words, linear filtering,
    repeat wrapping. Uploads go through a pixel-unpack buffer that is orphaned before each mapping (so
    the driver never waits for the previous frame), or through a heap block when made without one.
    Creating, uploading and deleting make its context current and restore the caller's afterwards.
    Main thread only. */
class OpenGLTexture : public Texture {
public:
    OpenGLTexture(OpenGLContext& context, int32_t width, int32_t height, int32_t format, bool usePixelBuffer);
    ~OpenGLTexture() override;

    void clear() override;
    void upload(const Image& image, const Rectangle* rectangles, int count, bool unpremultiply) override;
    void draw(const double source[4], const double corners[8], float alpha) override;
    uint32_t getNativeHandle() const override { return textureName; }
    bool isValid() const override { return glContext != nullptr && textureName != 0; }

private:
    friend class OpenGLContext;
    /** Called by a context that goes first: its GL objects are already gone with it. */
    void detachFromContext() noexcept;
    /** The staging area for one upload (mapped buffer or heap block), or null. */
    uint8_t* beginStaging();
    void transfer(const Rectangle* areas, int count);

    uint32_t textureName = 0;
    uint32_t pixelBufferName = 0;
    bool usePixelBuffer;
    uint8_t* staging = nullptr;          // the heap block (without a pixel buffer)
    OpenGLContext* glContext;
};

/** The unpremultiplying copy of one row: alpha copied, each colour byte min(255, byte × 255 / alpha)
    (an alpha of 0 saturates). Kept apart from the upload so it can be checked without a display. */
void unpremultiplyRow(uint8_t* destination, const uint8_t* source, int32_t pixels) noexcept;

} // namespace q9framework
