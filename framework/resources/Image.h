#pragma once
#include "framework/core/Geometry.h"
#include "framework/core/ReferenceCountedObject.h"

#include <cstddef>
#include <cstdint>

namespace q9framework {

class Stream;

/** The toolkit's in-memory picture: a handle to shared, reference-counted storage of 32-bit pixels
    with a transparent border (the margin) on all four sides of the visible area.

    Pixels are 4 bytes, in memory blue, green, red, alpha (a little-endian word reads 0xAARRGGBB;
    GL_BGRA with GL_UNSIGNED_INT_8_8_8_8_REV), colours premultiplied by alpha, rows top to bottom.
    An owning image's storage is (height + 2 * margin) rows of stride = (width + 2 * margin) * 4 bytes,
    16-byte aligned; the margin is always zero, so filters may read up to `margin` pixels past any edge
    without bounds checks.

    Handles: copying shares the storage (atomic count, so handles may be copied and released on any
    thread); two handles are equal when they share storage. The pixels are not locked: an image is
    filled once (decode, pack read) and afterwards read, or changed by its one owner on the GUI thread.
    A null handle, or an image of width 0 or height 0, is a null image; queries on a null handle
    return 0 or null, and changes on it do nothing. Nothing here throws: failed allocations, decodes
    and reads give null images or leave the image unchanged. */
class Image {
public:
    static constexpr int32_t defaultMargin = 16;
    static constexpr int32_t bytesPerPixel = 4;

    /** The shared storage behind the handles. */
    struct InternalImage : public ReferenceCountedObject {
        InternalImage() noexcept : ReferenceCountedObject(true) {}
        ~InternalImage() override;

        uint8_t* data = nullptr;     // start of the allocation (top-left corner of the margin)
        uint8_t* pixels = nullptr;   // first visible pixel: data + margin * stride + margin * 4
        int32_t width = 0, height = 0;
        int32_t stride = 0;          // bytes per row, both side margins included
        int32_t margin = 0;
        bool ownsData = false;       // false for wrapped pixels: data is not freed, margin is 0
    };

    Image() noexcept = default;
    /** width x height pixels with the given margin. Null when both sizes are below 1 (or on a failed
        allocation); Image(0, 5) has storage but is a null image. The margin is zeroed, the visible
        area only when `clear` (otherwise its content is undefined). A negative margin counts as 0. */
    Image(int32_t width, int32_t height, bool clear, int32_t margin = defaultMargin);
    /** The same, with the size as one (width, height) value. */
    Image(Point size, bool clear, int32_t margin = defaultMargin);
    /** Decodes a PNG or JPEG file; a missing, empty, unreadable or undecodable file gives a null image. */
    explicit Image(const char* filePath);
    /** With `wrap`, refers to the caller's pixels without copying (margin 0; the caller keeps them
        alive and the image may write through them). Otherwise copies width * 4 bytes of every source
        row into a new image with the default margin. */
    Image(const uint8_t* pixels, int32_t width, int32_t height, int32_t sourceStride, bool wrap);

    /** PNG (by its 8-byte signature) or JPEG (0xFF 0xD8) bytes, decoded into premultiplied
        blue-green-red-alpha rows with the default margin. Fewer than 11 bytes, another format or a
        corrupt file: a null image. */
    static Image decode(const void* bytes, size_t size);

    Image(const Image& other) noexcept;
    Image(Image&& other) noexcept;
    Image& operator=(const Image& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    ~Image();

    bool operator==(const Image& other) const noexcept { return internal == other.internal; }
    bool operator!=(const Image& other) const noexcept { return internal != other.internal; }

    bool isNull() const noexcept;
    /** Whether a handle refers to storage at all (true for Image(0, 5), which is still a null image). */
    bool hasStorage() const noexcept { return internal != nullptr; }
    int32_t getWidth() const noexcept { return internal != nullptr ? internal->width : 0; }
    int32_t getHeight() const noexcept { return internal != nullptr ? internal->height : 0; }
    int32_t getStride() const noexcept { return internal != nullptr ? internal->stride : 0; }
    int32_t getMargin() const noexcept { return internal != nullptr ? internal->margin : 0; }
    int32_t getBytesPerPixel() const noexcept { return bytesPerPixel; }
    Point getSize() const noexcept { return {getWidth(), getHeight()}; }
    Rectangle getBounds() const noexcept { return {0, 0, getWidth(), getHeight()}; }
    bool ownsData() const noexcept { return internal != nullptr && internal->ownsData; }

    /** Start of the allocation (the margin's top-left corner). */
    uint8_t* getData() const noexcept { return internal != nullptr ? internal->data : nullptr; }
    /** The first visible pixel. */
    uint8_t* getPixels() const noexcept { return internal != nullptr ? internal->pixels : nullptr; }
    /** Row y and pixel (x, y), unchecked: -margin <= x < width + margin, -margin <= y < height + margin
        reach the border. Null on a null handle. */
    uint8_t* getLinePointer(int32_t y) const noexcept
    {
        return internal != nullptr ? internal->pixels + static_cast<ptrdiff_t>(y) * internal->stride : nullptr;
    }
    uint8_t* getPixelPointer(int32_t x, int32_t y) const noexcept
    {
        return internal != nullptr
                   ? internal->pixels + static_cast<ptrdiff_t>(y) * internal->stride + static_cast<ptrdiff_t>(x) * 4
                   : nullptr;
    }
    /** The byte size of the allocation: (height + 2 * margin) * stride; 0 on a null handle. */
    uint64_t getAllocationSize() const noexcept;

    /** This handle gets new storage of the same size with `newMargin`, visible rows copied; other
        handles keep the old storage. Nothing when the margin is unchanged or allocation fails. */
    void setMargin(int32_t newMargin);
    /** Every visible pixel becomes (blue, green, red, alpha) = the given bytes; no premultiplication. */
    void fill(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) noexcept;
    /** ORs `value` into the alpha byte of every visible pixel (255 makes the picture opaque). */
    void setAlphaBits(uint8_t value) noexcept;
    /** Zeroes the margin rows and columns. */
    void clearMargin() noexcept;
    /** Zeroes the part of `area` inside the visible area. */
    void clearRect(Rectangle area) noexcept;
    /** Moves the pixels of `source` so its top-left lands on `destination`, overlap-safe. Unclipped:
        the caller keeps both areas inside the image (margins included). */
    void moveRect(Rectangle source, Point destination) noexcept;
    /** For every visible pixel, byte k takes the old byte i_k; (3, 2, 1, 0) turns alpha-red-green-blue
        into blue-green-red-alpha. Indices outside 0..3 make the call do nothing. */
    void swizzle(int i0, int i1, int i2, int i3) noexcept;
    /** Each colour byte becomes colour * alpha >> 8 (a division by 256: opaque white reads 254). */
    void premultiply() noexcept;
    /** Swaps visible row i with row height - 1 - i. */
    void flipVertically() noexcept;

    /** New storage of the same size and margin, the whole allocation copied (a wrapped image becomes
        an owning one with margin 0). Null for a null image or a failed allocation. */
    Image clone() const;
    /** Null for a null image; the same storage (a clone with `forceCopy`) at the same size; otherwise
        a copy resampled with a box filter over the source area each target pixel covers (good for
        the downscaling the editor does), default margin. */
    Image rescaled(int32_t newWidth, int32_t newHeight, bool forceCopy) const;

    /** Writes the "Q9IMG00" record: magic string, i32 width, i32 height, u32 stride, u32 margin, and,
        when the allocation is not empty, u64 byte count and the whole allocation. A null image (no
        storage, or width or height below 1) writes the magic and four zeros (28 bytes); a wrapped image is written as an owning one with margin 0.
        False when the stream took fewer bytes. */
    bool writeRecord(Stream& stream) const;
    /** Reads a "Q9IMG00" record into this handle. A wrong magic, or a record that is short, negative,
        inconsistent (stride other than (width + 2 * margin) * 4, byte count other than
        (height + 2 * margin) * stride) or larger than what remains in the stream, leaves the image as
        it was and returns false; the stream is then somewhere inside the record. Width and height both
        below 1 make the image null (true), with the whole 28-byte record consumed. On success the image takes new storage (true). */
    bool readRecord(Stream& stream);

private:
    explicit Image(InternalImage* adopted) noexcept : internal(adopted) {}
    void release() noexcept;

    InternalImage* internal = nullptr;
};

/** The framework's aligned allocator: takes size + alignment + 8 bytes from the heap, rounds up to the
    alignment (a power of two) and keeps the heap pointer in the 8 bytes below the returned address.
    Null on failure. Memory from alignedMalloc goes back through alignedFree (null is ignored). */
void* alignedMalloc(size_t size, size_t alignment) noexcept;
void alignedFree(void* pointer) noexcept;

} // namespace q9framework
