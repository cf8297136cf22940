#pragma once
#include <memory>

struct _XDisplay;

namespace q9framework {

/** A plain X11 window with an OpenGL-capable visual, on a display connection of its own: something to
    put an OpenGLContext on until the toolkit's native window exists, and what the display tests and
    benchmarks draw into. Main thread only. */
class OpenGLViewX11 {
public:
    /** Null when there is no display (DISPLAY unset or unreachable) or it offers no GLX visual with a
        24-bit depth buffer. A mapped window is shown (and waited for) so that reading back its pixels
        is defined; an unmapped one is enough for textures and off-screen work. */
    static std::unique_ptr<OpenGLViewX11> create(int width, int height, bool doubleBuffered, bool mapped);
    ~OpenGLViewX11();
    OpenGLViewX11(const OpenGLViewX11&) = delete;
    OpenGLViewX11& operator=(const OpenGLViewX11&) = delete;

    _XDisplay* getDisplay() const noexcept { return display; }
    unsigned long getWindow() const noexcept { return window; }
    int getWidth() const noexcept { return width; }
    int getHeight() const noexcept { return height; }

private:
    OpenGLViewX11() = default;
    _XDisplay* display = nullptr;
    unsigned long window = 0;
    unsigned long colormap = 0;
    int width = 0, height = 0;
};

} // namespace q9framework
