#include "framework/resources/Image.h"

#include "framework/core/FileContents.h"
#include "framework/resources/RecordMagic.h"
#include "framework/core/Stream.h"
#include "framework/resources/platform/ImageDecoders.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace q9framework {

namespace {

constexpr size_t storageAlignment = 16;
const char* const recordMagic = "Q9IMG00";

// Bytes of an owning image of that shape, or 0 when it does not fit the 32-bit stride or the
// address space; callers treat 0 as "cannot allocate".
uint64_t storageBytes(int64_t width, int64_t height, int64_t margin, int64_t& stride) noexcept
{
    stride = (width + 2 * margin) * 4;
    const int64_t rows = height + 2 * margin;
    if (stride <= 0 || stride > INT32_MAX || rows <= 0 || rows > INT32_MAX)
        return 0;
    const uint64_t bytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(rows);
    return bytes > (uint64_t(1) << 40) ? 0 : bytes;
}

Image::InternalImage* makeStorage(int32_t width, int32_t height, int32_t margin, uint64_t& bytes) noexcept
{
    int64_t stride = 0;
    bytes = storageBytes(width, height, margin, stride);
    if (bytes == 0)
        return nullptr;
    auto* data = static_cast<uint8_t*>(alignedMalloc(static_cast<size_t>(bytes), storageAlignment));
    if (data == nullptr)
        return nullptr;
    auto* storage = new (std::nothrow) Image::InternalImage();
    if (storage == nullptr) {
        alignedFree(data);
        return nullptr;
    }
    storage->data = data;
    storage->width = width;
    storage->height = height;
    storage->stride = static_cast<int32_t>(stride);
    storage->margin = margin;
    storage->pixels = data + static_cast<ptrdiff_t>(margin) * stride + static_cast<ptrdiff_t>(margin) * 4;
    storage->ownsData = true;
    return storage;
}

// Visits every visible pixel of the image, row by row.
template <typename PixelFunction>
void forEachPixel(const Image& image, PixelFunction&& function) noexcept
{
    if (image.isNull())
        return;
    const int32_t width = image.getWidth();
    for (int32_t y = 0; y < image.getHeight(); ++y) {
        uint8_t* p = image.getLinePointer(y);
        for (int32_t x = 0; x < width; ++x, p += 4)
            function(p);
    }
}

} // namespace

void* alignedMalloc(size_t size, size_t alignment) noexcept
{
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0 || size > SIZE_MAX - alignment - 8)
        return nullptr;
    void* raw = std::malloc(size + alignment + 8);
    if (raw == nullptr)
        return nullptr;
    const uintptr_t aligned = (reinterpret_cast<uintptr_t>(raw) + 8 + alignment - 1) & ~(uintptr_t(alignment) - 1);
    std::memcpy(reinterpret_cast<void*>(aligned - 8), &raw, sizeof(raw));
    return reinterpret_cast<void*>(aligned);
}

void alignedFree(void* pointer) noexcept
{
    if (pointer == nullptr)
        return;
    void* raw = nullptr;
    std::memcpy(&raw, static_cast<uint8_t*>(pointer) - 8, sizeof(raw));
    std::free(raw);
}

Image::InternalImage::~InternalImage()
{
    if (ownsData)
        alignedFree(data);
}

Image::Image(int32_t width, int32_t height, bool clear, int32_t margin)
{
    if (width < 1 && height < 1)
        return;
    width = std::max(width, 0);
    height = std::max(height, 0);
    margin = std::max(margin, 0);
    uint64_t bytes = 0;
    internal = makeStorage(width, height, margin, bytes);
    if (internal == nullptr)
        return;
    if (clear)
        std::memset(internal->data, 0, static_cast<size_t>(bytes));
    else
        clearMargin();
}

Image::Image(Point size, bool clear, int32_t margin) : Image(size.x, size.y, clear, margin) {}

Image::Image(const char* filePath)
{
    const MemoryBlock bytes = readFileContents(filePath);
    if (!bytes.isNull())
        *this = decode(bytes.getData(), static_cast<size_t>(bytes.getSize()));
}

Image::Image(const uint8_t* source, int32_t width, int32_t height, int32_t sourceStride, bool wrap)
{
    if (source == nullptr || width < 1 || height < 1)
        return;
    if (wrap) {
        internal = new (std::nothrow) InternalImage();
        if (internal == nullptr)
            return;
        // The caller keeps the pixels alive and may want them changed through this image.
        internal->data = internal->pixels = const_cast<uint8_t*>(source);
        internal->width = width;
        internal->height = height;
        internal->stride = sourceStride;
        internal->margin = 0;
        internal->ownsData = false;
        return;
    }
    *this = Image(width, height, false, defaultMargin);
    if (internal == nullptr)
        return;
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(getLinePointer(y), source + static_cast<ptrdiff_t>(y) * sourceStride, static_cast<size_t>(width) * 4);
}

Image Image::decode(const void* bytes, size_t size)
{
    static const uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes == nullptr || size < 11)
        return Image();
    const auto* b = static_cast<const uint8_t*>(bytes);
    if (std::memcmp(b, pngSignature, sizeof(pngSignature)) == 0)
        return platform::decodePng(b, size);
    if (b[0] == 0xFF && b[1] == 0xD8)
        return platform::decodeJpeg(b, size);
    return Image();
}

Image::Image(const Image& other) noexcept : internal(other.internal)
{
    if (internal != nullptr)
        internal->incReferenceCount();
}

Image::Image(Image&& other) noexcept : internal(other.internal) { other.internal = nullptr; }

Image& Image::operator=(const Image& other) noexcept
{
    if (other.internal != nullptr)
        other.internal->incReferenceCount();
    release();
    internal = other.internal;
    return *this;
}

Image& Image::operator=(Image&& other) noexcept
{
    if (this != &other) {
        release();
        internal = other.internal;
        other.internal = nullptr;
    }
    return *this;
}

Image::~Image() { release(); }

void Image::release() noexcept
{
    if (internal != nullptr)
        internal->decReferenceCount();
    internal = nullptr;
}

bool Image::isNull() const noexcept { return internal == nullptr || internal->width < 1 || internal->height < 1; }

uint64_t Image::getAllocationSize() const noexcept
{
    if (internal == nullptr)
        return 0;
    return static_cast<uint64_t>(internal->height + 2 * internal->margin) * static_cast<uint64_t>(internal->stride);
}

void Image::setMargin(int32_t newMargin)
{
    newMargin = std::max(newMargin, 0);
    if (internal == nullptr || (newMargin == internal->margin && internal->ownsData))
        return;
    Image replacement(std::max(getWidth(), 0), std::max(getHeight(), 0), false, newMargin);
    if (replacement.internal == nullptr)
        return;
    for (int32_t y = 0; y < getHeight(); ++y)
        std::memcpy(replacement.getLinePointer(y), getLinePointer(y), static_cast<size_t>(getWidth()) * 4);
    *this = std::move(replacement);
}

void Image::fill(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) noexcept
{
    if (isNull())
        return;
    if (red == green && green == blue && blue == alpha) {
        for (int32_t y = 0; y < getHeight(); ++y)
            std::memset(getLinePointer(y), red, static_cast<size_t>(getWidth()) * 4);
        return;
    }
    const uint8_t pixel[4] = {blue, green, red, alpha};
    forEachPixel(*this, [&](uint8_t* p) { std::memcpy(p, pixel, 4); });
}

void Image::setAlphaBits(uint8_t value) noexcept
{
    forEachPixel(*this, [value](uint8_t* p) { p[3] |= value; });
}

void Image::clearMargin() noexcept
{
    if (internal == nullptr || internal->margin == 0 || !internal->ownsData)
        return;
    const int32_t margin = internal->margin;
    const size_t stride = static_cast<size_t>(internal->stride);
    std::memset(internal->data, 0, static_cast<size_t>(margin) * stride);
    std::memset(getLinePointer(internal->height) - static_cast<ptrdiff_t>(margin) * 4, 0,
                static_cast<size_t>(margin) * stride);
    const size_t side = static_cast<size_t>(margin) * 4;
    for (int32_t y = 0; y < internal->height; ++y) {
        std::memset(getPixelPointer(-margin, y), 0, side);
        std::memset(getPixelPointer(internal->width, y), 0, side);
    }
}

void Image::clearRect(Rectangle area) noexcept
{
    const Rectangle r = area.getIntersection(getBounds());
    if (isNull() || r.isEmpty())
        return;
    for (int32_t y = r.y; y < r.getBottom(); ++y)
        std::memset(getPixelPointer(r.x, y), 0, static_cast<size_t>(r.width) * 4);
}

void Image::moveRect(Rectangle source, Point destination) noexcept
{
    if (internal == nullptr || source.isEmpty())
        return;
    const size_t rowBytes = static_cast<size_t>(source.width) * 4;
    // Walk away from the overlap: when the source lies at or below the destination, the rows above are
    // written before they are read; otherwise the rows below are.
    if (source.y >= destination.y) {
        for (int32_t i = 0; i < source.height; ++i)
            std::memmove(getPixelPointer(destination.x, destination.y + i), getPixelPointer(source.x, source.y + i),
                         rowBytes);
    } else {
        for (int32_t i = source.height - 1; i >= 0; --i)
            std::memmove(getPixelPointer(destination.x, destination.y + i), getPixelPointer(source.x, source.y + i),
                         rowBytes);
    }
}

void Image::swizzle(int i0, int i1, int i2, int i3) noexcept
{
    const int index[4] = {i0, i1, i2, i3};
    for (int i : index)
        if (i < 0 || i > 3)
            return;
    forEachPixel(*this, [&](uint8_t* p) {
        const uint8_t old[4] = {p[0], p[1], p[2], p[3]};
        for (int k = 0; k < 4; ++k)
            p[k] = old[index[k]];
    });
}

void Image::premultiply() noexcept
{
    forEachPixel(*this, [](uint8_t* p) {
        const unsigned alpha = p[3];
        for (int k = 0; k < 3; ++k)
            p[k] = static_cast<uint8_t>((p[k] * alpha) >> 8);
    });
}

void Image::flipVertically() noexcept
{
    if (isNull())
        return;
    const size_t rowBytes = static_cast<size_t>(getWidth()) * 4;
    for (int32_t top = 0, bottom = getHeight() - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = getLinePointer(top);
        uint8_t* b = getLinePointer(bottom);
        for (size_t i = 0; i < rowBytes; ++i)
            std::swap(a[i], b[i]);
    }
}

Image Image::clone() const
{
    if (isNull())
        return Image();
    if (!internal->ownsData) {
        Image copy(getWidth(), getHeight(), false, 0);
        if (copy.internal != nullptr)
            for (int32_t y = 0; y < getHeight(); ++y)
                std::memcpy(copy.getLinePointer(y), getLinePointer(y), static_cast<size_t>(getWidth()) * 4);
        return copy;
    }
    Image copy(getWidth(), getHeight(), false, getMargin());
    if (copy.internal != nullptr)
        std::memcpy(copy.internal->data, internal->data, static_cast<size_t>(getAllocationSize()));
    return copy;
}

Image Image::rescaled(int32_t newWidth, int32_t newHeight, bool forceCopy) const
{
    if (isNull() || newWidth < 1 || newHeight < 1)
        return Image();
    if (newWidth == getWidth() && newHeight == getHeight())
        return forceCopy ? clone() : *this;
    Image result(newWidth, newHeight, false, defaultMargin);
    if (result.internal == nullptr)
        return result;
    const int64_t sw = getWidth(), sh = getHeight();
    for (int32_t y = 0; y < newHeight; ++y) {
        // The source rows this target row covers; at least one, so enlarging repeats pixels.
        const int64_t y0 = y * sh / newHeight;
        const int64_t y1 = std::max(y0 + 1, ((y + 1) * sh + newHeight - 1) / newHeight);
        uint8_t* out = result.getLinePointer(y);
        for (int32_t x = 0; x < newWidth; ++x, out += 4) {
            const int64_t x0 = x * sw / newWidth;
            const int64_t x1 = std::max(x0 + 1, ((x + 1) * sw + newWidth - 1) / newWidth);
            uint64_t sum[4] = {0, 0, 0, 0};
            for (int64_t sy = y0; sy < y1; ++sy) {
                const uint8_t* p = getPixelPointer(static_cast<int32_t>(x0), static_cast<int32_t>(sy));
                for (int64_t sx = x0; sx < x1; ++sx, p += 4)
                    for (int k = 0; k < 4; ++k)
                        sum[k] += p[k];
            }
            const uint64_t n = static_cast<uint64_t>((y1 - y0) * (x1 - x0));
            for (int k = 0; k < 4; ++k)
                out[k] = static_cast<uint8_t>((sum[k] + n / 2) / n);
        }
    }
    return result;
}

bool Image::writeRecord(Stream& stream) const
{
    if (!stream.isWritable())
        return false;
    stream.writeString(recordMagic);
    // Every null image, storage or not (width 0 with a height, say), is the magic and four zeros, so
    // a reader never has to guess whether a byte count follows.
    if (isNull()) {
        for (int i = 0; i < 4; ++i)
            stream.writeInt(0);
        return true;
    }
    const bool wrapped = !internal->ownsData;
    const int32_t margin = wrapped ? 0 : internal->margin;
    const int32_t stride = wrapped ? internal->width * 4 : internal->stride;
    stream.writeInt(internal->width);
    stream.writeInt(internal->height);
    stream.writeInt(stride);
    stream.writeInt(margin);
    const uint64_t bytes = static_cast<uint64_t>(internal->height + 2 * margin) * static_cast<uint64_t>(stride);
    if (bytes < 1)
        return true;
    stream.writeInt64(static_cast<int64_t>(bytes));
    if (!wrapped)
        return stream.write(internal->data, static_cast<int64_t>(bytes)) == static_cast<int64_t>(bytes);
    // Wrapped pixels may sit in rows longer than the picture: write only the visible part of each.
    for (int32_t y = 0; y < internal->height; ++y)
        if (stream.write(getLinePointer(y), stride) != stride)
            return false;
    return true;
}

bool Image::readRecord(Stream& stream)
{
    // A header cut short would read as zeros, that is as a null image: refuse it instead.
    if (!readMagic(stream, recordMagic) || stream.getLength() - stream.getPosition() < 16)
        return false;
    // All four header fields belong to the record whatever they say: stopping after the size would
    // leave the next record (the next pack entry) to be read from the middle of this one.
    const int32_t width = stream.readInt();
    const int32_t height = stream.readInt();
    const int64_t stride = static_cast<uint32_t>(stream.readInt());
    const int64_t margin = static_cast<uint32_t>(stream.readInt());
    if (width < 1 && height < 1) {
        release();
        return true;
    }
    if (width < 0 || height < 0)
        return false;
    // The byte count is present only when the stored geometry has storage at all; a record without
    // any is a null image (a picture of width 0 and no margin, say).
    // (Both factors are non-negative and may reach 2^33 and 2^32: test them, not their product.)
    if (height + 2 * margin < 1 || stride < 1) {
        release();
        return true;
    }
    const int64_t byteCount = stream.readInt64();

    // The record's geometry must describe exactly the bytes it carries, and those bytes must be in the
    // stream: a record that lies about either could otherwise make the renderer address pixels outside
    // the storage, or make us allocate what the file cannot justify.
    if (margin > INT32_MAX / 4)
        return false;
    int64_t expectedStride = 0;
    const uint64_t expectedBytes = storageBytes(width, height, margin, expectedStride);
    if (expectedBytes == 0 || stride != expectedStride || byteCount < 0
        || static_cast<uint64_t>(byteCount) != expectedBytes)
        return false;
    if (byteCount > stream.getLength() - stream.getPosition())
        return false;

    uint64_t allocated = 0;
    InternalImage* storage = makeStorage(width, height, static_cast<int32_t>(margin), allocated);
    if (storage == nullptr)
        return false;
    if (stream.read(storage->data, byteCount) != byteCount) {
        storage->decReferenceCount();
        return false;
    }
    release();
    internal = storage;
    return true;
}

} // namespace q9framework
