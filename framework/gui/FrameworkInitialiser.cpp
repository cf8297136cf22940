#include "framework/gui/FrameworkInitialiser.h"

#include "framework/gui/DeletedAtShutdown.h"
#include "framework/gui/Font.h"
#include "framework/gui/FontEngine.h"
#include "framework/gui/Painter.h"

#include <atomic>

namespace q9framework {

namespace {

// The process-wide slots the services live in; the initialiser fills and empties them.
std::atomic<Painter*> sharedPainter{nullptr};
std::atomic<bool> running{false};

} // namespace

FrameworkInitialiser::FrameworkInitialiser()
{
    // The standard mouse cursors come with the windows (they need a display, and are made when the
    // first window opens); the look and feel likewise.

    // A missing FreeType or font still leaves a working framework: text then draws nothing.
    (void) createFontEngine();
    auto* painter = new Painter();
    painter->setFont(Font::getDefaultFont());
    sharedPainter.store(painter);
    running.store(true);
}

FrameworkInitialiser::~FrameworkInitialiser()
{
    running.store(false);
    // Shutdown objects first: the default font among them holds a face of the engine.
    DeletedAtShutdown::deleteAll();
    delete sharedPainter.exchange(nullptr);
    destroyFontEngine();
}

Painter* FrameworkInitialiser::getSharedPainter() noexcept { return sharedPainter.load(); }

bool FrameworkInitialiser::isRunning() noexcept { return running.load(); }

} // namespace q9framework
