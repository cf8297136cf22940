#pragma once
#include "framework/gui/FontLocator.h"
#include "framework/gui/GlyphsCache.h"
#include "framework/core/MemoryBlock.h"

#include <memory>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace q9framework {

class FontEngine;
class FallbackFont;

/** Closes a FreeType face or shuts a FreeType library down when its holder goes. */
struct FreeTypeFaceCloser {
    void operator()(FT_FaceRec_* face) const noexcept;
};
struct FreeTypeLibraryCloser {
    void operator()(FT_LibraryRec_* library) const noexcept;
};
using FreeTypeFace = std::unique_ptr<FT_FaceRec_, FreeTypeFaceCloser>;
using FreeTypeLibrary = std::unique_ptr<FT_LibraryRec_, FreeTypeLibraryCloser>;

/** One loaded font file: its bytes (FreeType reads them for the face's whole life) and the face.
    Made by Font::loadTypeface and owned by whoever asked for it. If the engine goes first the face is
    closed then and the typeface stays as an empty shell that renders nothing. */
class Typeface {
public:
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    FT_FaceRec_* getFace() const noexcept { return face.get(); }
    FontEngine* getEngine() const noexcept { return engine; }

private:
    friend class FontEngine;
    Typeface(FontEngine& owner, MemoryBlock bytes, FreeTypeFace loadedFace) noexcept;

    FontEngine* engine;
    MemoryBlock fileBytes;
    FreeTypeFace face;   // declared after the bytes it reads, so it closes first
};

/** The font engine: the FreeType library (default LCD filter) and the glyph cache. One per process,
    created by the FrameworkInitialiser through createFontEngine() and destroyed by destroyFontEngine().
    Main thread only; nothing here is locked. */
class FontEngine {
public:
    /** The process-wide engine, or null outside createFontEngine() .. destroyFontEngine(). */
    static FontEngine* getInstance() noexcept;

    GlyphsCache& getCache() noexcept { return cache; }
    FontLocator* getLocator() const noexcept { return locator.get(); }
    bool isValid() const noexcept { return library != nullptr; }

    /** Face `faceIndex` of the bytes (copied; a collection holds several faces); null when FreeType
        refuses them. */
    std::unique_ptr<Typeface> loadTypeface(const void* bytes, size_t size, int faceIndex = 0);
    /** Renders (never looks up) the glyph of `character` in `font`; null when there is none. */
    std::unique_ptr<Glyph> renderGlyph(const Font& font, uint32_t character);

    ~FontEngine();

private:
    friend bool createFontEngine(std::unique_ptr<FontLocator>);
    friend class Typeface;
    friend class FallbackFont;
    explicit FontEngine(std::unique_ptr<FontLocator> fontLocator);

    FreeTypeLibrary library;
    GlyphsCache cache;
    std::unique_ptr<FontLocator> locator;
    std::vector<Typeface*> liveTypefaces;
    /** The default-font slot: filled by FallbackFont and owned here, so the font goes before the faces
        do. The font is also a shutdown object: when the framework's shutdown deletes it first, its
        destructor releases this slot. */
    std::unique_ptr<FallbackFont> defaultFont;
};

/** Creates the process-wide font engine with the system's font locator (fontconfig). False when one
    exists already or FreeType cannot start; the existing engine, if any, is kept. */
bool createFontEngine();
/** The same with a locator of the caller's choosing (tests, or a program that brings its own fonts). */
bool createFontEngine(std::unique_ptr<FontLocator> locator);
/** Deletes the default font (if still alive), empties the glyph cache, closes every face and shuts
    FreeType down. Nothing when there is no engine. */
void destroyFontEngine();

} // namespace q9framework
