#pragma once
#include "MemoryBlock.h"
#include "Stream.h"

namespace q9framework {

/** A stream over a shared MemoryBlock. Writable when the block owns its bytes; writing past the end
    grows the block. A wrapping block is read-only: writes return 0. */
class MemoryStream : public Stream {
public:
    /** A stream over a new, empty, owning block. */
    MemoryStream();
    explicit MemoryStream(const MemoryBlock& block);

    int64_t write(const void* bytes, int64_t count) override;
    int64_t read(void* bytes, int64_t count) override;
    int64_t getPosition() override { return position; }
    int64_t getLength() override { return static_cast<int64_t>(block.getSize()); }
    /** Clamped to [0, length]. */
    void setPosition(int64_t newPosition) override;

    /** Writable streams only: resizes the block to 0 and rewinds. */
    void clear();
    const MemoryBlock& getBlock() const noexcept { return block; }

private:
    int64_t position = 0;
    MemoryBlock block;
};

} // namespace q9framework
