#include "framework/gui/GlyphsCache.h"

#include <algorithm>

namespace q9framework {

const Glyph* GlyphsCache::find(uint32_t character, const Font& font) const noexcept
{
    for (const auto& glyph : buckets[character & 0xff])
        if (glyph->character == character && glyph->font == font)
            return glyph.get();
    return nullptr;
}

const Glyph* GlyphsCache::add(std::unique_ptr<Glyph> glyph)
{
    auto& bucket = buckets[glyph->character & 0xff];
    // The toolkit's arrays grow by half their size (at least 5), not by doubling.
    if (bucket.size() == bucket.capacity())
        bucket.reserve(bucket.size() + std::max<size_t>(5, bucket.size() / 2));
    bucket.push_back(std::move(glyph));
    return bucket.back().get();
}

void GlyphsCache::forgetTypeface(const Typeface* typeface)
{
    for (auto& bucket : buckets)
        bucket.erase(std::remove_if(bucket.begin(), bucket.end(),
                                    [typeface](const auto& g) { return g->font.getTypeface() == typeface; }),
                     bucket.end());
}

void GlyphsCache::clear()
{
    for (auto& bucket : buckets)
        bucket.clear();
}

size_t GlyphsCache::size() const noexcept
{
    size_t n = 0;
    for (const auto& bucket : buckets)
        n += bucket.size();
    return n;
}

} // namespace q9framework
