#pragma once
#include <atomic>
#include <cstdint>

namespace q9framework {

/** Base of the framework's intrusively shared objects (image storage, font settings).
    The count starts at 0 and means "holders besides the first": incReferenceCount adds one,
    decReferenceCount takes one away and destroys the object when the count drops below 0. So a new
    object belongs to its creator, and lives until it has been released once more than it was retained.

    Threads: with `atomicCount` set (image storage, which may be released on any thread) changes are
    atomic read-modify-writes with full barriers; without it they are plain loads and stores, and the
    object must stay on one thread (font settings on the main thread). Lives with the resources
    because images, the lowest layer that shares storage, need it. */
class ReferenceCountedObject {
public:
    explicit ReferenceCountedObject(bool atomicCount = false) noexcept : atomic(atomicCount) {}
    virtual ~ReferenceCountedObject() = default;
    ReferenceCountedObject(const ReferenceCountedObject&) = delete;
    ReferenceCountedObject& operator=(const ReferenceCountedObject&) = delete;

    void incReferenceCount() noexcept
    {
        if (atomic)
            count.fetch_add(1, std::memory_order_acq_rel);
        else
            count.store(count.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }

    /** Destroys the object (exactly once) when the count crosses below 0. */
    void decReferenceCount() noexcept
    {
        int32_t after;
        if (atomic) {
            after = count.fetch_sub(1, std::memory_order_acq_rel) - 1;
        } else {
            after = count.load(std::memory_order_relaxed) - 1;
            count.store(after, std::memory_order_relaxed);
        }
        if (after < 0)
            delete this;
    }

    /** Holders besides the first (0 for an object with one holder). */
    int32_t getReferenceCount() const noexcept { return count.load(std::memory_order_acquire); }
    bool isAtomic() const noexcept { return atomic; }

private:
    // std::atomic in both modes so the flag may be chosen per object; the non-atomic mode uses only
    // relaxed loads and stores, which cost what a plain integer does.
    std::atomic<int32_t> count{0};
    const bool atomic;
};

} // namespace q9framework
