#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local size_t allocations = 0;
}

void* operator new(size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

AllocationCounter::AllocationCounter() : start(allocations) {}
size_t AllocationCounter::count() const { return allocations - start; }
