// Font lookup through fontconfig. Only two questions are ever asked: "is a face of exactly this family
// installed?" and "what does the system use for sans-serif?". No caching: the default font is looked up
// once per process, and fontconfig keeps its own cache of the font folders.
#include "framework/gui/FontLocator.h"
#include "framework/gui/linux/LinuxPlatform.h"

#include <fontconfig/fontconfig.h>

#include <dlfcn.h>

namespace q9framework {

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const noexcept { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const noexcept { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const noexcept { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// The file and the face within it: a collection (.ttc) holds several faces, and face 0 of one is
// usually another family or weight than the one that matched.
FontFile fileOf(const FcPattern* pattern)
{
    FcChar8* file = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
        return {};
    int index = 0;
    if (FcPatternGetInteger(pattern, FC_INDEX, 0, &index) != FcResultMatch || index < 0)
        index = 0;
    return {String(reinterpret_cast<const char*>(file)), index};
}

// fontconfig keeps process-wide caches (the default languages, the font folders' caches) that only
// FcFini frees, and FcFini would pull the configuration from under a host that uses fontconfig itself.
// A host that loads and unloads us while nothing else holds fontconfig would unload the library with
// us and lose those caches on every round: keep it loaded for the life of the process instead, so they
// are made once and reused.
void keepFontconfigLoaded()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FcInitLoadConfigAndFonts), &info) != 0 && info.dli_fname != nullptr)
        dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

class FontconfigLocator final : public FontLocator {
public:
    FontconfigLocator() : config((keepFontconfigLoaded(), FcInitLoadConfigAndFonts())) {}
    ~FontconfigLocator() override
    {
        if (config != nullptr)
            FcConfigDestroy(config);
    }

    FontFile findFamily(const char* family) override
    {
        if (config == nullptr || family == nullptr)
            return {};
        PatternPtr pattern(FcPatternCreate());
        std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
            FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, static_cast<char*>(nullptr)));
        if (!pattern || !objects)
            return {};
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(config, pattern.get(), objects.get()));
        if (!fonts)
            return {};

        // FcFontList matches family names case-insensitively and lists every style; keep exact names
        // and prefer the upright regular face, which is what a label should be drawn with.
        FontFile best;
        int bestScore = -1;
        for (int i = 0; i < fonts->nfont; ++i) {
            const FcPattern* candidate = fonts->fonts[i];
            bool exact = false;
            FcChar8* name = nullptr;
            for (int n = 0; FcPatternGetString(candidate, FC_FAMILY, n, &name) == FcResultMatch; ++n)
                exact = exact || String(reinterpret_cast<const char*>(name)) == family;
            if (!exact)
                continue;
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(candidate, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(candidate, FC_SLANT, 0, &slant);
            const int score = (weight == FC_WEIGHT_REGULAR ? 2 : 0) + (slant == FC_SLANT_ROMAN ? 1 : 0);
            const FontFile file = fileOf(candidate);
            if (score > bestScore && !file.path.isEmpty()) {
                best = file;
                bestScore = score;
            }
        }
        return best;
    }

    FontFile findMatch(const char* genericFamily) override
    {
        if (config == nullptr || genericFamily == nullptr)
            return {};
        PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(genericFamily)));
        if (!pattern)
            return {};
        FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternPtr match(FcFontMatch(config, pattern.get(), &result));
        return match ? fileOf(match.get()) : FontFile();
    }

private:
    FcConfig* config;
};

} // namespace

std::unique_ptr<FontLocator> createFontconfigLocator()
{
    return std::make_unique<FontconfigLocator>();
}

} // namespace q9framework
