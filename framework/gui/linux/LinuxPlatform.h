#pragma once
#include <memory>

namespace q9framework {

class FontLocator;

/** Hands the toolkit its Linux services: fonts found through fontconfig, and the X11 windows (with
    their input, cursors and OpenGL) behind Window. The toolkit declares what it needs and never links
    this side back; a program that shows a GUI calls this once before the framework starts. Idempotent. */
void installLinuxGuiPlatform() noexcept;

/** The fontconfig locator (what installLinuxGuiPlatform installs as the system's). */
std::unique_ptr<FontLocator> createFontconfigLocator();

} // namespace q9framework
