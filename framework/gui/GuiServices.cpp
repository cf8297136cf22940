#include "framework/gui/GuiServices.h"

#include "framework/core/FrameworkInitialiser.h"
#include "framework/gui/Font.h"
#include "framework/gui/FontEngine.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

#include <memory>

namespace q9framework {

namespace {

// Main thread, from startGui to stopGui.
std::unique_ptr<Painter> sharedPainter;

void startGui()
{
    // The standard mouse cursors come with the windows (they need a display, and are made when the
    // first window opens).

    // A missing FreeType or font still leaves a working framework: text then draws nothing.
    (void) createFontEngine();
    auto painter = std::make_unique<Painter>();
    painter->setFont(Font::getDefaultFont());
    sharedPainter = std::move(painter);
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
    sharedPainter.reset();
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

Painter* getSharedPainter() noexcept { return sharedPainter.get(); }

} // namespace q9framework
