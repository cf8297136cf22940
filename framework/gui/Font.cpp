#include "framework/gui/Font.h"
#include "framework/gui/FallbackFont.h"
#include "framework/gui/FontEngine.h"

#include <utility>

namespace q9framework {

Font::Font(Typeface* typeface, bool renderBitmaps, uint8_t option1, uint8_t option2, uint8_t horizontalPrecision,
           double height, double extra)
    : internal(new Internal())
{
    internal->typeface = typeface;
    internal->height = height;
    internal->option1 = option1;
    internal->horizontalPrecision = horizontalPrecision;
    internal->option2 = option2;
    internal->extra = extra;
    internal->renderBitmaps = renderBitmaps;
}

Font::Font(const Font& other) noexcept : internal(other.internal)
{
    retain();
}

Font::Font(Font&& other) noexcept : internal(std::exchange(other.internal, nullptr)) {}

Font& Font::operator=(const Font& other) noexcept
{
    if (internal != other.internal) {
        other.retain();
        release();
        internal = other.internal;
    }
    return *this;
}

Font& Font::operator=(Font&& other) noexcept
{
    if (this != &other) {
        release();
        internal = std::exchange(other.internal, nullptr);
    }
    return *this;
}

Font::~Font()
{
    release();
}

// The count starts at 0 for the handle that created the internal, so it goes when released once more
// than it was retained.
void Font::retain() const noexcept
{
    if (internal != nullptr)
        internal->incReferenceCount();
}

void Font::release() noexcept
{
    if (internal != nullptr)
        internal->decReferenceCount();
    internal = nullptr;
}

void Font::setHeight(double newHeight)
{
    if (internal == nullptr || internal->height == newHeight)
        return;
    auto* fresh = new Internal();
    fresh->typeface = internal->typeface;
    fresh->height = newHeight;
    fresh->option1 = internal->option1;
    fresh->horizontalPrecision = internal->horizontalPrecision;
    fresh->option2 = internal->option2;
    fresh->extra = internal->extra;
    fresh->renderBitmaps = internal->renderBitmaps;
    release();
    internal = fresh;
}

double Font::getHeight() const noexcept
{
    return internal != nullptr ? internal->height : 0.0;
}

Typeface* Font::getTypeface() const noexcept
{
    return internal != nullptr ? internal->typeface : nullptr;
}

bool Font::rendersBitmaps() const noexcept
{
    return internal != nullptr && internal->renderBitmaps;
}

bool Font::operator==(const Font& other) const noexcept
{
    if (internal == other.internal)
        return true;
    return internal != nullptr && other.internal != nullptr && internal->sameSettings(*other.internal);
}

const Glyph* Font::getGlyph(uint32_t character) const
{
    FontEngine* engine = FontEngine::getInstance();
    if (engine == nullptr || internal == nullptr || internal->typeface == nullptr)
        return nullptr;
    if (const Glyph* cached = engine->getCache().find(character, *this))
        return cached;
    // A character the face lacks is not remembered, so asking again renders again; such lookups are
    // rare (a label with a missing symbol) and remembering them would need a second kind of entry.
    std::unique_ptr<Glyph> glyph = engine->renderGlyph(*this, character);
    return glyph ? engine->getCache().add(std::move(glyph)) : nullptr;
}

float Font::getStringWidth(const String& text, int maxCharacters) const
{
    const char* bytes = text.toUTF8();
    const size_t length = text.length();
    float width = 0.0f;
    size_t index = 0;
    for (int n = 0; n < maxCharacters && index < length; ++n)
        if (const Glyph* glyph = getGlyph(nextCodePoint(bytes, index)))
            width += glyph->advance;
    return width;
}

int Font::getCharactersThatFit(const String& text, float width) const
{
    const char* bytes = text.toUTF8();
    const size_t length = text.length();
    float sum = 0.0f;
    size_t index = 0;
    int count = 0;
    while (index < length) {
        const Glyph* glyph = getGlyph(nextCodePoint(bytes, index));
        sum += glyph != nullptr ? glyph->advance : 0.0f;
        if (!(sum < width))
            break;
        ++count;
    }
    return count;
}

Font Font::getDefaultFont()
{
    FallbackFont* fallback = FallbackFont::getInstance();
    return fallback != nullptr ? Font(*fallback) : Font();
}

std::unique_ptr<Typeface> Font::loadTypeface(const void* fileBytes, size_t size)
{
    FontEngine* engine = FontEngine::getInstance();
    return engine != nullptr ? engine->loadTypeface(fileBytes, size) : nullptr;
}

uint32_t nextCodePoint(const char* text, size_t& index) noexcept
{
    const auto* s = reinterpret_cast<const uint8_t*>(text);
    const uint8_t lead = s[index];
    int extra = 0;
    uint32_t cp = lead;
    if (lead >= 0xf0 && lead < 0xf8) {
        extra = 3;
        cp = lead & 0x07;
    } else if (lead >= 0xe0) {
        extra = lead < 0xf0 ? 2 : 0;
        cp = extra ? (lead & 0x0f) : lead;
    } else if (lead >= 0xc0) {
        extra = 1;
        cp = lead & 0x1f;
    }
    for (int i = 1; i <= extra; ++i)
        if ((s[index + i] & 0xc0) != 0x80) {
            ++index;        // malformed: the lead byte stands for itself
            return lead;
        }
    for (int i = 1; i <= extra; ++i)
        cp = (cp << 6) | (s[index + i] & 0x3f);
    index += 1 + extra;
    return cp;
}

} // namespace q9framework
