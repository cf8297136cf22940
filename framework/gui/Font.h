#pragma once
#include "framework/core/ReferenceCountedObject.h"
#include "framework/core/String.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace q9framework {

class Typeface;
struct Glyph;

/** A cheap value handle to shared font settings: typeface, height in points and rendering options.
    Copies share one Internal; setHeight gives this handle a fresh Internal, so fonts that shared the old
    one keep their height. A default-constructed Font has no settings at all: it measures 0 and draws
    nothing. Glyphs come from the process-wide cache of the font engine (FontEngine.h); without an
    engine, or without a typeface, every lookup gives no glyph.
    Main thread only: the count of the Internal is not atomic. */
class Font {
public:
    /** The settings. Equal settings share cached glyphs. option1, option2 and extra mean nothing to the
        renderer; they only keep fonts apart that callers want kept apart. */
    struct Internal : public ReferenceCountedObject {
        Typeface* typeface = nullptr;       // not owned
        double height = 0.0;                // points at 96 dpi
        uint8_t option1 = 0;
        uint8_t horizontalPrecision = 0;    // 1: hinted on a 64x finer horizontal grid
        uint8_t option2 = 0;
        double extra = 0.0;
        bool renderBitmaps = false;         // false: metrics only, glyphs have no image

        bool sameSettings(const Internal& o) const noexcept
        {
            return height == o.height && renderBitmaps == o.renderBitmaps && option1 == o.option1
                   && option2 == o.option2 && extra == o.extra && horizontalPrecision == o.horizontalPrecision
                   && typeface == o.typeface;
        }
    };

    Font() noexcept = default;
    Font(Typeface* typeface, bool renderBitmaps, uint8_t option1, uint8_t option2, uint8_t horizontalPrecision,
         double height, double extra);
    Font(const Font& other) noexcept;
    Font(Font&& other) noexcept;
    Font& operator=(const Font& other) noexcept;
    Font& operator=(Font&& other) noexcept;
    virtual ~Font();

    bool isNull() const noexcept { return internal == nullptr; }
    /** The shared settings, or null for a default-constructed font. */
    const Internal* internalSettings() const noexcept { return internal; }
    /** Nothing when equal; otherwise this handle gets its own copy of the settings with the new height. */
    void setHeight(double newHeight);
    double getHeight() const noexcept;
    Typeface* getTypeface() const noexcept;
    bool rendersBitmaps() const noexcept;

    /** The cached glyph, rendered on a miss; null when the face lacks the character, rendering fails,
        or there is no font engine. The glyph stays valid until the engine is destroyed or its typeface
        is deleted. */
    const Glyph* getGlyph(uint32_t character) const;

    /** Sum of the advances (pixels) of the first maxCharacters characters of the UTF-8 text; characters
        without a glyph add nothing. */
    float getStringWidth(const String& text, int maxCharacters = INT_MAX) const;
    /** Number of leading characters whose summed advance stays below width. */
    int getCharactersThatFit(const String& text, float width) const;

    /** Same settings (typeface, height and every option): such fonts share their cached glyphs. */
    bool operator==(const Font& other) const noexcept;
    bool operator!=(const Font& other) const noexcept { return !(*this == other); }

    /** The process-wide default font, made on first use from the system's fonts (FallbackFont.h).
        A null Font while there is no font engine. */
    static Font getDefaultFont();

    /** A typeface over a copy of the given font file bytes (face 0), owned by the caller, who must delete
        it before the font engine goes. Null when there is no font engine or FreeType refuses the data. */
    static std::unique_ptr<Typeface> loadTypeface(const void* fileBytes, size_t size);

private:
    void retain() const noexcept;
    void release() noexcept;

    Internal* internal = nullptr;
};

/** Decodes one code point of UTF-8 at text[index], advancing index; a malformed byte reads as itself.
    Shared by measuring and text drawing so both agree on what a character is. */
uint32_t nextCodePoint(const char* text, size_t& index) noexcept;

} // namespace q9framework
