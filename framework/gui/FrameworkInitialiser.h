#pragma once
#include <memory>

namespace q9framework {

class Painter;

/** The framework's process-wide services, alive from the first plug-in instance to the last: the font
    engine (FreeType and the glyph cache) and one shared Painter without a target, set to the default
    font. Created and destroyed by the plug-in adapter (on whichever thread the host opens and closes
    instances), never by the effect itself; at most one exists at a time.

    Destruction ends the services in this order: every DeletedAtShutdown object (newest first; the
    default font and the counter's time base among them), the shared Painter, then the font engine.
    Main-thread objects (fonts, the painter) must not be used across it. */
class FrameworkInitialiser {
public:
    FrameworkInitialiser();
    ~FrameworkInitialiser();
    FrameworkInitialiser(const FrameworkInitialiser&) = delete;
    FrameworkInitialiser& operator=(const FrameworkInitialiser&) = delete;

    /** The shared painter, or null while no FrameworkInitialiser exists. Main thread. */
    static Painter* getSharedPainter() noexcept;
    /** Whether the services currently exist. */
    static bool isRunning() noexcept;
};

} // namespace q9framework
