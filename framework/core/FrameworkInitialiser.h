#pragma once

namespace q9framework {

/** The framework's process-wide services, alive from the first plug-in instance to the last. Created and
    destroyed by the plug-in adapter (on whichever thread the host opens and closes instances), never by
    the effect itself; at most one exists at a time.

    The core owns only the shutdown objects; the layers above it (the GUI toolkit's font engine, shared
    painter, cursors and look and feel) install their own start and stop hooks once, before the first
    instance, so that a program without a GUI links no display library. Destruction runs the hooks' early
    stop, destroys every DeletedAtShutdown object (newest first), then runs the hooks' stop. */
class FrameworkInitialiser {
public:
    /** A higher layer's share of the services. Any of the three may be null. */
    struct Services {
        void (*start)() = nullptr;
        /** Runs before the shutdown objects are destroyed (the look and feel, which they may use). */
        void (*stopEarly)() = nullptr;
        /** Runs after them (what they hold on to, such as the font engine behind the default font). */
        void (*stop)() = nullptr;
    };

    FrameworkInitialiser();
    ~FrameworkInitialiser();
    FrameworkInitialiser(const FrameworkInitialiser&) = delete;
    FrameworkInitialiser& operator=(const FrameworkInitialiser&) = delete;

    /** Installs the hooks of the layer above the core; a later call replaces them. Call it before any
        FrameworkInitialiser exists (the module's entry point does, on every instance creation). */
    static void installServices(const Services& services) noexcept;

    /** Whether the services currently exist. */
    static bool isRunning() noexcept;
};

} // namespace q9framework
