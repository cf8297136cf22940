#pragma once
#include "framework/core/String.h"

#include <memory>

namespace q9framework {

/** An installed font: its file and the face inside it (a collection file such as .ttc holds several;
    0 for a file of one face). */
struct FontFile {
    String path;
    int faceIndex = 0;
};

/** Finds font files installed on the system, so the default font can be chosen without the toolkit
    knowing where a distribution keeps its fonts. Main thread only (it is asked once, when the default
    font is first needed). Both queries return an empty path when nothing fits; neither throws. */
class FontLocator {
public:
    virtual ~FontLocator() = default;

    /** An installed face whose family name is exactly `family` (a regular style preferred). */
    virtual FontFile findFamily(const char* family) = 0;
    /** The system's best match for a generic family such as "sans-serif". */
    virtual FontFile findMatch(const char* genericFamily) = 0;

    /** The system's locator, made by the factory the platform layer installed; null when none is. */
    static std::unique_ptr<FontLocator> createSystem();
    /** Installed by the platform layer (fontconfig on Linux) before the framework starts. */
    static void setSystemFactory(std::unique_ptr<FontLocator> (*factory)()) noexcept;
};

} // namespace q9framework
