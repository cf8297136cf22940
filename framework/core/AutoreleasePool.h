#pragma once

namespace q9framework {

/** A scope for the platform object system's autoreleased objects. Linux has no such objects, so the
    scope does nothing; code keeps it where the toolkit would need one, so the shape stays the same. */
class AutoreleasePool {
public:
    AutoreleasePool() noexcept = default;
    ~AutoreleasePool() = default;
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;
};

} // namespace q9framework
