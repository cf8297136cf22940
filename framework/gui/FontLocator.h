#pragma once
#include "framework/core/String.h"

#include <memory>

namespace q9framework {

/** Finds font files installed on the system, so the default font can be chosen without the toolkit
    knowing where a distribution keeps its fonts. Main thread only (it is asked once, when the default
    font is first needed). Both queries return the empty string when nothing fits; neither throws. */
class FontLocator {
public:
    virtual ~FontLocator() = default;

    /** Path of an installed face whose family name is exactly `family` (a regular style preferred). */
    virtual String findFamily(const char* family) = 0;
    /** Path of the system's best match for a generic family such as "sans-serif". */
    virtual String findMatch(const char* genericFamily) = 0;

    /** The system's locator, made by the factory the platform layer installed; null when none is. */
    static std::unique_ptr<FontLocator> createSystem();
    /** Installed by the platform layer (fontconfig on Linux) before the framework starts. */
    static void setSystemFactory(std::unique_ptr<FontLocator> (*factory)()) noexcept;
};

} // namespace q9framework
