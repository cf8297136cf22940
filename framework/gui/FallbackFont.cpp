#include "framework/gui/FallbackFont.h"
#include "framework/gui/FontEngine.h"
#include "framework/core/FileStream.h"

namespace q9framework {

namespace {

FontFile findDefaultFontFile(FontLocator* locator)
{
    if (locator == nullptr)
        return {};
    for (const char* family : {"Arial Unicode MS", "Verdana"}) {
        const FontFile file = locator->findFamily(family);
        if (!file.path.isEmpty())
            return file;
    }
    return locator->findMatch("sans-serif");
}

MemoryBlock readWholeFile(const String& path)
{
    FileStream stream(path.toUTF8(), FileStream::modeRead);
    const int64_t length = stream.isOpen() ? stream.getLength() : 0;
    if (length <= 0)
        return {};
    MemoryBlock bytes(static_cast<uint64_t>(length));
    if (bytes.isNull() || stream.read(bytes.getData(), length) != length)
        return {};
    return bytes;
}

} // namespace

FallbackFont::FallbackFont(std::unique_ptr<Typeface> face, String path)
    : Font(face.get(), true, 0, 0, 1, 10.0, 0.0), typeface(std::move(face)), filePath(std::move(path))
{
}

FallbackFont::~FallbackFont()
{
    if (FontEngine* engine = typeface ? typeface->getEngine() : FontEngine::getInstance())
        if (engine->defaultFont.get() == this)
            (void) engine->defaultFont.release();   // deleted by the shutdown list, not by the engine
}

FallbackFont* FallbackFont::getInstance()
{
    FontEngine* engine = FontEngine::getInstance();
    if (engine == nullptr)
        return nullptr;
    if (engine->defaultFont == nullptr) {
        const FontFile file = findDefaultFontFile(engine->getLocator());
        String path = file.path;
        std::unique_ptr<Typeface> face;
        if (!path.isEmpty()) {
            const MemoryBlock bytes = readWholeFile(path);
            if (!bytes.isNull())
                face = engine->loadTypeface(bytes.getData(), static_cast<size_t>(bytes.getSize()), file.faceIndex);
        }
        if (!face)
            path = String();
        engine->defaultFont.reset(new FallbackFont(std::move(face), std::move(path)));
    }
    return engine->defaultFont.get();
}

} // namespace q9framework
