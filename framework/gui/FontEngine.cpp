#include "framework/gui/FontEngine.h"
#include "framework/gui/FallbackFont.h"

#include <atomic>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_LCD_FILTER_H

#include <algorithm>
#include <cstring>
#include <new>

namespace q9framework {

namespace {
// The slot itself is never destroyed: a process that exits with the engine still running must not
// tear it down from a static destructor, after the shutdown list its default font leaves has gone.
// Placed in the module's own storage rather than on the heap, so a host that unloads the module
// leaves nothing behind.
alignas(std::unique_ptr<FontEngine>) unsigned char engineInstanceSlot[sizeof(std::unique_ptr<FontEngine>)];
std::unique_ptr<FontEngine>& engineInstance = *new (engineInstanceSlot) std::unique_ptr<FontEngine>();

// The values the glyph loader is driven with. On the fine horizontal grid the auto-hinter hints
// vertically only (its vertical-LCD target), so stems stay where the outline puts them horizontally.
constexpr FT_Int32 loadFlagsFinePrecision = 0x40020;
constexpr FT_Int32 loadFlagsPlain = 2;  // no hinting
constexpr FT_Render_Mode renderModeSubPixel = static_cast<FT_Render_Mode>(3);
constexpr FT_Render_Mode renderModeNormal = static_cast<FT_Render_Mode>(0);
} // namespace

void FreeTypeFaceCloser::operator()(FT_FaceRec_* face) const noexcept
{
    if (face != nullptr)
        FT_Done_Face(face);
}

void FreeTypeLibraryCloser::operator()(FT_LibraryRec_* library) const noexcept
{
    if (library != nullptr)
        FT_Done_FreeType(library);
}

Typeface::Typeface(FontEngine& owner, MemoryBlock bytes, FreeTypeFace loadedFace) noexcept
    : engine(&owner), fileBytes(std::move(bytes)), face(std::move(loadedFace))
{
}

Typeface::~Typeface()
{
    if (engine != nullptr) {
        engine->cache.forgetTypeface(this);
        auto& live = engine->liveTypefaces;
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
}

FontEngine::FontEngine(std::unique_ptr<FontLocator> fontLocator) : locator(std::move(fontLocator))
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) == 0) {
        library.reset(lib);
        // Fails harmlessly when FreeType was built without the patented filter; its own default
        // sub-pixel rendering then applies.
        FT_Library_SetLcdFilter(lib, FT_LCD_FILTER_DEFAULT);
    }
}

FontEngine::~FontEngine()
{
    defaultFont.reset();   // with its typeface
    cache.clear();
    for (Typeface* t : liveTypefaces) {
        t->face.reset();
        t->engine = nullptr;
    }
    liveTypefaces.clear();
    library.reset();
}

FontEngine* FontEngine::getInstance() noexcept
{
    return engineInstance.get();
}

std::unique_ptr<Typeface> FontEngine::loadTypeface(const void* bytes, size_t size, int faceIndex)
{
    if (library == nullptr || bytes == nullptr || size == 0 || faceIndex < 0)
        return nullptr;
    MemoryBlock copy(bytes, size, true);
    if (copy.isNull())
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library.get(), static_cast<const FT_Byte*>(copy.getData()), static_cast<FT_Long>(size),
                           faceIndex, &face) != 0)
        return nullptr;
    FreeTypeFace held(face);
    std::unique_ptr<Typeface> typeface(new Typeface(*this, std::move(copy), std::move(held)));
    liveTypefaces.push_back(typeface.get());
    return typeface;
}

std::unique_ptr<Glyph> FontEngine::renderGlyph(const Font& font, uint32_t character)
{
    Typeface* typeface = font.getTypeface();
    FT_Face face = typeface != nullptr ? typeface->getFace() : nullptr;
    if (face == nullptr)
        return nullptr;

    const Font::Internal& settings = *font.internalSettings();
    const bool fine = settings.horizontalPrecision != 0;
    const double scale = fine ? 64.0 : 1.0;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(settings.height * 64.0),
                         static_cast<FT_UInt>(96.0 * scale), 96) != 0)
        return nullptr;
    // Hinted at 64 times the horizontal resolution, then squeezed back to normal width: the glyph keeps
    // sub-pixel positions and advances that a 96-dpi grid would round away.
    FT_Matrix matrix = {static_cast<FT_Fixed>(65536.0 / scale), 0, 0, 65536};
    FT_Set_Transform(face, &matrix, nullptr);

    const FT_Int32 loadFlags = fine ? loadFlagsFinePrecision : loadFlagsPlain;
    const FT_Render_Mode mode = settings.renderBitmaps ? renderModeSubPixel : renderModeNormal;
    auto loadAndRender = [&](uint32_t c) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        return index != 0 && FT_Load_Glyph(face, index, loadFlags) == 0 && FT_Render_Glyph(face->glyph, mode) == 0;
    };

    const int32_t capitalTop = loadAndRender(65) ? face->glyph->bitmap_top : 0;
    if (!loadAndRender(character))
        return nullptr;

    const FT_GlyphSlot slot = face->glyph;
    auto glyph = std::make_unique<Glyph>();
    glyph->font = font;
    glyph->character = character;
    glyph->advance = static_cast<float>(slot->advance.x * 0.015625);
    glyph->top = capitalTop - slot->bitmap_top;
    glyph->left = slot->bitmap_left;

    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width / 3), rows = static_cast<int>(bitmap.rows);
    if (settings.renderBitmaps && bitmap.pixel_mode == FT_PIXEL_MODE_LCD && width > 0 && rows > 0) {
        // No margin: the painter reads exactly the glyph's pixels, and at text sizes a 16-pixel border
        // would be twenty times the coverage it surrounds.
        Image image(width, rows, true, 0);
        if (!image.isNull()) {
            for (int y = 0; y < rows; ++y) {
                const uint8_t* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
                uint8_t* dst = image.getLinePointer(y);
                for (int x = 0; x < width; ++x, src += 3, dst += 4) {
                    dst[0] = src[0];
                    dst[1] = src[1];
                    dst[2] = src[2];
                    dst[3] = static_cast<uint8_t>(src[0] | src[1] | src[2]);
                }
            }
            glyph->image = image;
        }
    }
    return glyph;
}

bool createFontEngine(std::unique_ptr<FontLocator> locator)
{
    if (engineInstance != nullptr)
        return false;
    std::unique_ptr<FontEngine> engine(new FontEngine(std::move(locator)));
    if (!engine->isValid())
        return false;
    engineInstance = std::move(engine);
    return true;
}

namespace {
std::atomic<std::unique_ptr<FontLocator> (*)()> systemLocatorFactory{nullptr};
} // namespace

void FontLocator::setSystemFactory(std::unique_ptr<FontLocator> (*factory)()) noexcept
{
    systemLocatorFactory.store(factory);
}

std::unique_ptr<FontLocator> FontLocator::createSystem()
{
    const auto factory = systemLocatorFactory.load();
    return factory != nullptr ? factory() : nullptr;
}

bool createFontEngine()
{
    return createFontEngine(FontLocator::createSystem());
}

void destroyFontEngine()
{
    // Out of the slot before it goes: while it is destroyed, getInstance() already answers null.
    std::unique_ptr<FontEngine> engine = std::move(engineInstance);
    engine.reset();
}

} // namespace q9framework
