#include "framework/core/FrameworkInitialiser.h"

#include "framework/core/DeletedAtShutdown.h"

#include <atomic>

namespace q9framework {

namespace {

// Written before the first instance exists and read only while creating or destroying one, which hosts
// do one at a time; the atomics keep a late reader from seeing a torn value.
std::atomic<void (*)()> startHook{nullptr};
std::atomic<void (*)()> stopEarlyHook{nullptr};
std::atomic<void (*)()> stopHook{nullptr};
std::atomic<bool> running{false};

} // namespace

void FrameworkInitialiser::installServices(const Services& services) noexcept
{
    startHook.store(services.start);
    stopEarlyHook.store(services.stopEarly);
    stopHook.store(services.stop);
}

FrameworkInitialiser::FrameworkInitialiser()
{
    if (auto start = startHook.load())
        start();
    running.store(true);
}

FrameworkInitialiser::~FrameworkInitialiser()
{
    running.store(false);
    if (auto stopEarly = stopEarlyHook.load())
        stopEarly();
    DeletedAtShutdown::deleteAll();
    if (auto stop = stopHook.load())
        stop();
}

bool FrameworkInitialiser::isRunning() noexcept { return running.load(); }

} // namespace q9framework
