#pragma once
#include "framework/gui/Font.h"
#include "framework/resources/Image.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace q9framework {

/** One rendered character. Positions are in pixels relative to the pen: the glyph's bitmap starts
    `left` pixels right of the pen and `top` pixels below the top of a capital letter. */
struct Glyph {
    Font font;              // the settings it was rendered with (kept alive by this copy)
    uint32_t character = 0;
    float advance = 0.0f;   // pen movement to the next character, pixels
    int32_t top = 0;        // bitmap top of "A" minus this glyph's bitmap top
    int32_t left = 0;
    /** Sub-pixel coverage: bytes 0..2 are the three coverage samples left to right, byte 3 their OR.
        Null for fonts without renderBitmaps and for blank glyphs such as the space. */
    Image image;
};

/** Every glyph rendered so far, once per character and font setting. 256 buckets chosen by the low
    byte of the character; a bucket is scanned linearly, which is cheap because a user interface uses
    few fonts. Never trimmed while the engine lives. Main thread only. */
class GlyphsCache {
public:
    /** The glyph for c rendered with settings equal to font's, or null. */
    const Glyph* find(uint32_t character, const Font& font) const noexcept;
    /** Takes ownership; the returned pointer stays valid until clear() or forgetTypeface(). */
    const Glyph* add(std::unique_ptr<Glyph> glyph);
    /** Drops every glyph of a typeface that is going away, so a later typeface at the same address
        cannot be served stale glyphs. */
    void forgetTypeface(const Typeface* typeface);
    void clear();
    size_t size() const noexcept;

private:
    std::vector<std::unique_ptr<Glyph>> buckets[256];
};

} // namespace q9framework
