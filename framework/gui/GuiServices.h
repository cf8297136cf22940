#pragma once

namespace q9framework {

class Painter;

/** Makes the GUI toolkit's process-wide services start and stop with the framework's: the font engine
    (FreeType and the glyph cache) and one shared Painter without a target, set to the default font.
    Idempotent; call it before the first FrameworkInitialiser exists (a plug-in's entry point does).

    With the framework stopping, the default look and feel goes first, then the default font and the other
    shutdown objects, then the shared Painter, then the font engine. Main-thread objects (fonts, the painter) must not be used across it. */
void installGuiServices() noexcept;

/** The shared painter, or null while the framework's services are not running. Main thread. */
Painter* getSharedPainter() noexcept;

} // namespace q9framework
