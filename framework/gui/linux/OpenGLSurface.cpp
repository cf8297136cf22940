// The OpenGL window surface. On-screen copies use two framebuffer objects and
// glBlitFramebuffer (GL 3.0 / ARB_framebuffer_object, which Mesa and every current driver offer on a
// compatibility context).
#include "framework/gui/linux/OpenGLSurface.h"
#include "framework/gui/linux/OpenGLContext.h"

#include <epoxy/gl.h>

namespace q9framework {

OpenGLSurface::OpenGLSurface(OpenGLContext& owner, std::unique_ptr<Texture> surfaceTexture, int32_t width,
                             int32_t height)
    : TextureSurface(owner, std::move(surfaceTexture), width, height), glContext(owner)
{
}

OpenGLSurface::~OpenGLSurface()
{
    if (framebuffers[0] != 0) {
        ScopedCurrentContext current(glContext);
        if (current.isActive())
            glDeleteFramebuffers(2, framebuffers);
    }
}

void OpenGLSurface::copyAreaOnScreen(void*, Rectangle source, Point destination)
{
    if (!texture || !texture->isValid())
        return;
    const Rectangle bounds(0, 0, texture->getWidth(), texture->getHeight());
    const int32_t dx = destination.x - source.x, dy = destination.y - source.y;
    const Rectangle dst = source.getIntersection(bounds).translated(dx, dy).getIntersection(bounds);
    const Rectangle src = dst.translated(-dx, -dy);
    if (dst.isEmpty())
        return;

    ScopedCurrentContext current(glContext);
    if (!current.isActive())
        return;
    if (framebuffers[0] == 0) {
        scratch = glContext.createTexture(texture->getWidth(), texture->getHeight(), 1, 1);
        glGenFramebuffers(2, framebuffers);
    }
    if (!scratch || !scratch->isValid())
        return;
    const GLuint surfaceName = texture->getNativeHandle(), scratchName = scratch->getNativeHandle();

    auto blit = [&](GLuint from, GLuint to, Rectangle a, Point b) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[0]);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, from, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[1]);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, to, 0);
        glBlitFramebuffer(a.x, a.y, a.getRight(), a.getBottom(), b.x, b.y, b.x + a.width, b.y + a.height,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
    };
    // The scissor box clips blits too; the copy must not depend on what the frame left there.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    blit(surfaceName, scratchName, src, src.getPosition());
    blit(scratchName, surfaceName, src, dst.getPosition());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
}

std::unique_ptr<Surface> OpenGLContext::createWindowSurface(int32_t width, int32_t height)
{
    std::unique_ptr<Texture> texture = createTexture(width, height, 1, 1);
    if (!texture)
        return nullptr;
    return std::make_unique<OpenGLSurface>(*this, std::move(texture), width, height);
}

} // namespace q9framework
