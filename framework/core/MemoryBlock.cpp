#include "MemoryBlock.h"

#include "Stream.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace q9framework {

struct MemoryBlock::Internal {
    std::atomic<int> refCount{1};
    bool ownsData = true;
    void* data = nullptr;
    uint64_t size = 0;

    ~Internal()
    {
        if (ownsData)
            std::free(data);
    }
};

MemoryBlock::MemoryBlock(uint64_t size)
{
    void* data = size > 0 ? std::malloc(size) : nullptr;
    if (size > 0 && data == nullptr)
        return;
    internal = new (std::nothrow) Internal();
    if (internal == nullptr) {
        std::free(data);
        return;
    }
    internal->data = data;
    internal->size = size;
}

MemoryBlock::MemoryBlock(const void* data, uint64_t size, bool copy)
{
    if (copy) {
        MemoryBlock block(size);
        if (block.internal && size > 0 && data != nullptr)
            std::memcpy(block.internal->data, data, size);
        *this = std::move(block);
        return;
    }
    internal = new (std::nothrow) Internal();
    if (internal) {
        internal->ownsData = false;
        internal->data = const_cast<void*>(data);
        internal->size = data != nullptr ? size : 0;
    }
}

MemoryBlock::MemoryBlock(const MemoryBlock& other) noexcept : internal(other.internal)
{
    if (internal)
        internal->refCount.fetch_add(1, std::memory_order_relaxed);
}

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept : internal(other.internal) { other.internal = nullptr; }

namespace {
void release(MemoryBlock::Internal* internal)
{
    if (internal && internal->refCount.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete internal;
}
} // namespace

MemoryBlock& MemoryBlock::operator=(const MemoryBlock& other) noexcept
{
    if (other.internal)
        other.internal->refCount.fetch_add(1, std::memory_order_relaxed);
    release(internal);
    internal = other.internal;
    return *this;
}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept
{
    if (this != &other) {
        release(internal);
        internal = other.internal;
        other.internal = nullptr;
    }
    return *this;
}

MemoryBlock::~MemoryBlock() { release(internal); }

void* MemoryBlock::getData() const noexcept { return internal ? internal->data : nullptr; }
uint64_t MemoryBlock::getSize() const noexcept { return internal ? internal->size : 0; }
bool MemoryBlock::ownsData() const noexcept { return internal != nullptr && internal->ownsData; }

bool MemoryBlock::setSize(uint64_t newSize) noexcept
{
    if (!ownsData())
        return false;
    if (newSize == 0) {
        std::free(internal->data);
        internal->data = nullptr;
        internal->size = 0;
        return true;
    }
    void* grown = std::realloc(internal->data, newSize);
    if (grown == nullptr)
        return false;
    internal->data = grown;
    internal->size = newSize;
    return true;
}

void MemoryBlock::fill(uint8_t byte) noexcept
{
    if (internal && internal->data)
        std::memset(internal->data, byte, internal->size);
}

bool MemoryBlock::copyFrom(const MemoryBlock& other) noexcept
{
    MemoryBlock copy(other.getData(), other.getSize(), true);
    if (copy.internal == nullptr)
        return false;
    *this = std::move(copy);
    return true;
}

void MemoryBlock::writeRecord(Stream& stream) const
{
    stream.writeInt64(static_cast<int64_t>(getSize()));
    if (getSize() > 0)
        stream.write(getData(), static_cast<int64_t>(getSize()));
}

MemoryBlock MemoryBlock::readRecord(Stream& stream)
{
    const int64_t size = stream.readInt64();
    const int64_t left = stream.getLength() - stream.getPosition();
    // A size the stream cannot hold is a damaged record: never allocate more than the data justifies.
    if (size < 0 || size > left) {
        stream.setPosition(stream.getLength());
        return MemoryBlock();
    }
    MemoryBlock block(static_cast<uint64_t>(size));
    if (block.isNull() || (size > 0 && stream.read(block.getData(), size) != size))
        return MemoryBlock();
    return block;
}

} // namespace q9framework
