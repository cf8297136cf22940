#pragma once
#include "framework/gui/TextureSurface.h"

namespace q9framework {

class OpenGLContext;

/** The window surface on OpenGL: a TextureSurface that can also move pixels on the screen alone,
    texture to texture with framebuffer blits (through a scratch texture, because a blit inside one
    texture with overlapping areas is undefined). The scratch texture and the two framebuffers are made
    on first use. Made by createSurface. */
class OpenGLSurface : public TextureSurface {
public:
    OpenGLSurface(OpenGLContext& context, std::unique_ptr<Texture> texture, int32_t width, int32_t height);
    ~OpenGLSurface() override;

    /** Copies the source rectangle of the surface texture to destination, on the GPU only (the pixels
        in memory are left as they are). Areas are clipped to the surface. */
    void copyAreaOnScreen(void* view, Rectangle source, Point destination) override;

private:
    OpenGLContext& glContext;
    std::unique_ptr<Texture> scratch;
    uint32_t framebuffers[2] = {0, 0};
};

} // namespace q9framework
