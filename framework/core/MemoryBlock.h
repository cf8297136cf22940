#pragma once
#include <cstddef>
#include <cstdint>

namespace q9framework {

class Stream;

/** A handle to a shared block of bytes. Copies share the block; the count is atomic, so handles may
    cross threads (the bytes themselves are not guarded). A null handle has no data and size 0.
    An owning block frees its bytes with the last handle; a wrapping block never frees them. */
class MemoryBlock {
public:
    MemoryBlock() noexcept = default;
    /** An owning block of `size` bytes, contents undefined (size 0 is allowed). Null when allocation fails. */
    explicit MemoryBlock(uint64_t size);
    /** Over external bytes: copied into an owning block when `copy`, otherwise wrapped (not owned). */
    MemoryBlock(const void* data, uint64_t size, bool copy);
    MemoryBlock(const MemoryBlock& other) noexcept;
    MemoryBlock(MemoryBlock&& other) noexcept;
    MemoryBlock& operator=(const MemoryBlock& other) noexcept;
    MemoryBlock& operator=(MemoryBlock&& other) noexcept;
    ~MemoryBlock();

    bool isNull() const noexcept { return internal == nullptr; }
    void* getData() const noexcept;
    uint64_t getSize() const noexcept;
    bool ownsData() const noexcept;

    /** Reallocates an owning block (0 frees the bytes; existing bytes are kept up to the new size).
        False for a null or wrapping block, or when allocation fails (the block is then unchanged). */
    [[nodiscard]] bool setSize(uint64_t newSize) noexcept;
    void fill(uint8_t byte) noexcept;
    /** This handle gets a new owning block holding a copy of the other's bytes (others sharing the old
        block are unaffected). False when allocation fails; the handle is then unchanged. */
    bool copyFrom(const MemoryBlock& other) noexcept;

    /** Record form: u64 size, then the bytes. */
    void writeRecord(Stream& stream) const;
    /** Reads a record; a size past the end of the stream gives a null block and leaves the stream at its end. */
    static MemoryBlock readRecord(Stream& stream);

    struct Internal;

private:
    Internal* internal = nullptr;
};

} // namespace q9framework
