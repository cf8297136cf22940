#include "framework/gui/GuiServices.h"

#include "framework/core/FrameworkInitialiser.h"
#include "framework/gui/Font.h"
#include "framework/gui/FontEngine.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

#include <atomic>

namespace q9framework {

namespace {

std::atomic<Painter*> sharedPainter{nullptr};

void startGui()
{
    // The standard mouse cursors come with the windows (they need a display, and are made when the
    // first window opens).

    // A missing FreeType or font still leaves a working framework: text then draws nothing.
    (void) createFontEngine();
    auto* painter = new Painter();
    painter->setFont(Font::getDefaultFont());
    sharedPainter.store(painter);
}

void stopGuiEarly()
{
    // The default look and feel goes before the shutdown objects: its font is a copy of the default
    // font, whose typeface goes with them.
    setDefaultLookAndFeel(nullptr);
}

void stopGui()
{
    // Runs after the shutdown objects: the default font among them held a face of the engine.
    delete sharedPainter.exchange(nullptr);
    destroyFontEngine();
}

} // namespace

void installGuiServices() noexcept
{
    FrameworkInitialiser::Services services;
    services.start = &startGui;
    services.stopEarly = &stopGuiEarly;
    services.stop = &stopGui;
    FrameworkInitialiser::installServices(services);
}

Painter* getSharedPainter() noexcept { return sharedPainter.load(); }

} // namespace q9framework
