#pragma once
#include "framework/core/DeletedAtShutdown.h"
#include "framework/gui/Font.h"

#include <memory>

namespace q9framework {

/** The process-wide default font: a face of "Arial Unicode MS" if installed, else "Verdana", else the
    system's sans-serif (DejaVu Sans on a standard install), 10 points, sub-pixel bitmaps on the fine
    horizontal grid. Made on first use by Font::getDefaultFont(); it owns its typeface and empties the
    default slot when it goes (at framework shutdown, with the other DeletedAtShutdown objects, or when
    the font engine is destroyed). When no file can be loaded it still exists, without a typeface, and
    text drawn with it shows nothing. Main thread only. */
class FallbackFont : public Font, public DeletedAtShutdown {
public:
    ~FallbackFont() override;

    /** The default font, creating it when the engine exists and there is none yet; null otherwise. */
    static FallbackFont* getInstance();

    /** The file the default font was loaded from (empty when none could be). */
    const String& getFilePath() const noexcept { return filePath; }

private:
    FallbackFont(std::unique_ptr<Typeface> face, String path);

    std::unique_ptr<Typeface> typeface;
    String filePath;
};

} // namespace q9framework
