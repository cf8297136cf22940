#pragma once
#include <mutex>

namespace q9framework {

/** A recursive mutex: the thread that holds it may lock it again. Each plug-in's processing lock is
    one of these (held by process for a whole block and around every parameter change). */
class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() const noexcept { mutex.lock(); }
    bool tryEnter() const noexcept { return mutex.try_lock(); }
    void exit() const noexcept { mutex.unlock(); }

private:
    mutable std::recursive_mutex mutex;
};

/** Holds a CriticalSection for the lifetime of a scope. */
class ScopedLock {
public:
    explicit ScopedLock(const CriticalSection& cs) noexcept : section(cs) { section.enter(); }
    ~ScopedLock() { section.exit(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    const CriticalSection& section;
};

} // namespace q9framework
