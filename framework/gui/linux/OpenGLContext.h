#pragma once
#include "framework/gui/RenderingContext.h"

#include <memory>
#include <vector>

struct _XDisplay;
struct __GLXcontextRec;

namespace q9framework {

class OpenGLTexture;
class X11ErrorTrap;

/** The RenderingContext of an X11 window: a GLX context (compatibility profile: fixed-function
    matrices and immediate-mode quads plus framebuffer blits), functions through libepoxy. Created on a
    window whose visual offers a 24-bit depth buffer, single-buffered unless asked otherwise; owned by the
    window. Every live context is in a process-wide list so getCurrent() can find the one current on
    this thread. Textures and surfaces made on it must be deleted first; any that are left behind are cut
    loose (they become invalid and draw nothing). Main thread only.

    A host may destroy its window (and so ours inside it) before it closes the editor: every X error
    on the context's display from its creation to its destruction is caught and logged (X11ErrorTrap),
    never left to Xlib's default handler, which would end the host. */
class OpenGLContext : public RenderingContext {
public:
    /** Null when GLX cannot make a context for the window, or the window is gone (the X error is
        logged). Makes the new context current. */
    static std::unique_ptr<OpenGLContext> create(_XDisplay* display, unsigned long window, bool doubleBuffered);
    ~OpenGLContext() override;

    std::unique_ptr<Texture> createTexture(int32_t width, int32_t height, int32_t reserved, int32_t format) override;
    std::unique_ptr<Surface> createWindowSurface(int32_t width, int32_t height) override;
    Rectangle getClip() override;
    void setClip(Rectangle clip) override;
    void drawRectOutline(Rectangle r, const Colour corners[4]) override;
    void fillRectCorners(Rectangle r, const Colour corners[4]) override;
    void drawLine(Point from, Point to, Colour colour) override;
    void fillCircle(Rectangle r, Colour colour) override;
    void setSize(int32_t width, int32_t height) override;
    PixelSize getSize() const override { return size; }
    void* getNativeContext() const override { return context; }

    /** False when GLX refused (the window is gone): the caller then makes no GL calls. */
    bool makeCurrent();
    bool isCurrent() const;
    /** The context current on this thread, if it is one of ours. */
    static OpenGLContext* getCurrent();

    /** The per-frame state: current, scissor on, y-down orthographic projection of the size, viewport
        and scissor to the whole drawable, alpha blending, no depth test, cleared to opaque black. */
    void beginFrame();
    /** Swaps when double-buffered, otherwise glFlush. */
    void flush();

    bool isDoubleBuffered() const noexcept { return doubleBuffered; }
    _XDisplay* getDisplay() const noexcept { return display; }
    unsigned long getWindow() const noexcept { return window; }

    /** Builds and links the circle shader from the given sources; on failure writes the info log to the
        system log and returns 0. Exposed so the failure path can be checked with a broken source. */
    static unsigned int buildProgram(const char* vertexSource, const char* fragmentSource);

private:
    friend class OpenGLTexture;
    OpenGLContext(_XDisplay* display, unsigned long window, __GLXcontextRec* context, bool doubleBuffered,
                  std::unique_ptr<X11ErrorTrap> windowErrors);

    std::unique_ptr<X11ErrorTrap> windowErrors;   // first made, last destroyed

    __GLXcontextRec* context;
    _XDisplay* display;
    unsigned long window;
    bool doubleBuffered;
    PixelSize size;
    unsigned int circleProgram = 0;   // 0 when the shader failed to build: fillCircle fills the rectangle
    int radiusLocation = -1, centreLocation = -1;
    unsigned int defaultProgram = 0;
    unsigned int programInUse = 0;
    std::vector<OpenGLTexture*> textures;   // cut loose if still alive when the context goes
};

/** Makes a context current for a scope and puts back whatever was current before (if anything was).
    Textures use it so that creating, filling or deleting one never changes the caller's context. */
class ScopedCurrentContext {
public:
    explicit ScopedCurrentContext(OpenGLContext& context);
    ~ScopedCurrentContext();
    ScopedCurrentContext(const ScopedCurrentContext&) = delete;
    ScopedCurrentContext& operator=(const ScopedCurrentContext&) = delete;

    /** False when the context could not be made current: make no GL calls then. */
    bool isActive() const noexcept { return active; }

private:
    _XDisplay* previousDisplay;
    unsigned long previousDrawable;
    __GLXcontextRec* previousContext;
    bool switched;
    bool active;
};

} // namespace q9framework
