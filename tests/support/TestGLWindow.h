#pragma once
#include <memory>

struct _XDisplay;

/** A plain top-level X11 window with an OpenGL-capable visual, on a display connection of its own: what
    the display tests and benchmarks put an OpenGLContext on and draw into. Main thread only. */
class TestGLWindow {
public:
    /** Null when there is no display (DISPLAY unset or unreachable) or it offers no GLX visual with a
        24-bit depth buffer. A mapped window is shown (and waited for) so that reading back its pixels
        is defined; an unmapped one is enough for textures and off-screen work. */
    static std::unique_ptr<TestGLWindow> create(int width, int height, bool doubleBuffered, bool mapped);
    ~TestGLWindow();
    TestGLWindow(const TestGLWindow&) = delete;
    TestGLWindow& operator=(const TestGLWindow&) = delete;

    _XDisplay* getDisplay() const noexcept { return display; }
    unsigned long getWindow() const noexcept { return window; }
    int getWidth() const noexcept { return width; }
    int getHeight() const noexcept { return height; }

private:
    TestGLWindow() = default;
    _XDisplay* display = nullptr;
    unsigned long window = 0;
    unsigned long colormap = 0;
    int width = 0, height = 0;
};

