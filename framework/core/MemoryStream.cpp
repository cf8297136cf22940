#include "MemoryStream.h"

#include <cstring>

namespace q9framework {

MemoryStream::MemoryStream() : MemoryStream(MemoryBlock(uint64_t{0})) {}

MemoryStream::MemoryStream(const MemoryBlock& b) : block(b) { writable = block.ownsData(); }

int64_t MemoryStream::write(const void* bytes, int64_t count)
{
    if (!writable || count <= 0 || bytes == nullptr)
        return 0;
    const int64_t end = position + count;
    if (end > getLength() && !block.setSize(static_cast<uint64_t>(end)))
        return 0;
    std::memcpy(static_cast<uint8_t*>(block.getData()) + position, bytes, static_cast<size_t>(count));
    position = end;
    return count;
}

int64_t MemoryStream::read(void* bytes, int64_t count)
{
    const int64_t left = getLength() - position;
    const int64_t n = count < left ? count : left;
    if (n <= 0 || bytes == nullptr)
        return 0;
    std::memcpy(bytes, static_cast<const uint8_t*>(block.getData()) + position, static_cast<size_t>(n));
    position += n;
    return n;
}

void MemoryStream::setPosition(int64_t newPosition)
{
    const int64_t length = getLength();
    position = newPosition < 0 ? 0 : (newPosition > length ? length : newPosition);
}

void MemoryStream::clear()
{
    if (!writable)
        return;
    (void)block.setSize(0);
    position = 0;
}

} // namespace q9framework
