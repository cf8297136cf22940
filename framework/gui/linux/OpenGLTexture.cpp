// Textures of the GLX context. The window's surface texture is filled a few rectangles at a time every
// frame, so uploads go through a streamed pixel-unpack buffer: re-specified (orphaned) before mapping,
// written only where rectangles changed, then handed to glTexSubImage2D by offset.
#include "framework/gui/linux/OpenGLTexture.h"
#include "framework/gui/linux/OpenGLContext.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace q9framework {

void unpremultiplyRow(uint8_t* d, const uint8_t* s, int32_t count) noexcept
{
    for (int32_t i = 0; i < count; ++i, s += 4, d += 4) {
        const uint32_t a = s[3];
        if (a == 255) {
            std::memcpy(d, s, 4);
            continue;
        }
        for (int c = 0; c < 3; ++c)
            d[c] = a == 0 ? 255 : static_cast<uint8_t>(std::min<uint32_t>(255, s[c] * 255u / a));
        d[3] = static_cast<uint8_t>(a);
    }
}

OpenGLTexture::OpenGLTexture(OpenGLContext& owner, int32_t w, int32_t h, int32_t fmt, bool withPixelBuffer)
    : Texture(&owner, w, h, fmt), usePixelBuffer(withPixelBuffer), glContext(&owner)
{
    ScopedCurrentContext current(owner);
    owner.textures.push_back(this);
    if (!current.isActive())
        return;   // the window is gone: an invalid texture
    // GL error flags stay set until someone reads them: clear what other code (the host's, say) left
    // behind, so that the check below sees only what creating this texture did. Bounded, because an
    // implementation may report an error on every call once its context is lost.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    textureName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
    if (usePixelBuffer) {
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        pixelBufferName = buffer;
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_DRAW);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    } else {
        staging = static_cast<uint8_t*>(std::calloc(bytes, 1));
    }
    if (glGetError() != GL_NO_ERROR || (!usePixelBuffer && staging == nullptr)) {
        // Too large or out of memory: an invalid texture the caller can test for.
        glDeleteTextures(1, &name);
        textureName = 0;
    }
}

OpenGLTexture::~OpenGLTexture()
{
    if (glContext != nullptr) {
        ScopedCurrentContext current(*glContext);
        const GLuint name = textureName, buffer = pixelBufferName;
        if (name != 0 && current.isActive())
            glDeleteTextures(1, &name);
        if (buffer != 0 && current.isActive())
            glDeleteBuffers(1, &buffer);
        auto& list = glContext->textures;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    std::free(staging);
}

void OpenGLTexture::detachFromContext() noexcept
{
    glContext = nullptr;
    context = nullptr;
    textureName = 0;
    pixelBufferName = 0;
}

uint8_t* OpenGLTexture::beginStaging()
{
    glBindTexture(GL_TEXTURE_2D, textureName);
    if (!usePixelBuffer)
        return staging;
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, pixelBufferName);
    glBufferData(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(width) * height * 4, nullptr, GL_STREAM_DRAW);
    auto* mapped = static_cast<uint8_t*>(glMapBuffer(GL_PIXEL_UNPACK_BUFFER, GL_WRITE_ONLY));
    if (mapped == nullptr)
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    return mapped;
}

void OpenGLTexture::transfer(const Rectangle* areas, int count)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, width);
    if (usePixelBuffer)
        glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
    for (int i = 0; i < count; ++i) {
        const Rectangle& r = areas[i];
        const size_t offset = (static_cast<size_t>(width) * r.y + r.x) * 4;
        const void* data = usePixelBuffer ? reinterpret_cast<const void*>(offset) : staging + offset;
        glTexSubImage2D(GL_TEXTURE_2D, 0, r.x, r.y, r.width, r.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, data);
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (usePixelBuffer)
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

void OpenGLTexture::clear()
{
    if (!isValid())
        return;
    ScopedCurrentContext current(*glContext);
    uint8_t* area = current.isActive() ? beginStaging() : nullptr;
    if (area == nullptr)
        return;
    std::memset(area, 0, static_cast<size_t>(width) * height * 4);
    const Rectangle whole(0, 0, width, height);
    transfer(&whole, 1);
}

void OpenGLTexture::upload(const Image& image, const Rectangle* rectangles, int count, bool unpremultiply)
{
    if (!isValid() || image.isNull() || rectangles == nullptr || count <= 0)
        return;
    const Rectangle limit(0, 0, std::min(image.getWidth(), width), std::min(image.getHeight(), height));
    std::vector<Rectangle> areas;
    areas.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const Rectangle r = rectangles[i].getIntersection(limit);
        if (!r.isEmpty())
            areas.push_back(r);
    }
    if (areas.empty())
        return;

    ScopedCurrentContext current(*glContext);
    uint8_t* area = current.isActive() ? beginStaging() : nullptr;
    if (area == nullptr)
        return;
    const size_t stagingStride = static_cast<size_t>(width) * 4;
    for (const Rectangle& r : areas)
        for (int32_t y = r.y; y < r.getBottom(); ++y) {
            uint8_t* d = area + stagingStride * y + static_cast<size_t>(r.x) * 4;
            const uint8_t* s = image.getPixelPointer(r.x, y);
            if (unpremultiply)
                unpremultiplyRow(d, s, r.width);
            else
                std::memcpy(d, s, static_cast<size_t>(r.width) * 4);
        }
    transfer(areas.data(), static_cast<int>(areas.size()));
}

void OpenGLTexture::draw(const double source[4], const double corners[8], float alpha)
{
    if (!isValid() || width == 0 || height == 0)
        return;
    const double left = source[0] / width, top = source[1] / height;
    const double right = (source[0] + source[2]) / width, bottom = (source[1] + source[3]) / height;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBegin(GL_QUADS);
    glTexCoord2d(left, top);
    glVertex2d(corners[0], corners[1]);
    glTexCoord2d(right, top);
    glVertex2d(corners[2], corners[3]);
    glTexCoord2d(right, bottom);
    glVertex2d(corners[4], corners[5]);
    glTexCoord2d(left, bottom);
    glVertex2d(corners[6], corners[7]);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

} // namespace q9framework
