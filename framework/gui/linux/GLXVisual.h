#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace q9framework {

/** Frees what Xlib handed out (XFree). */
struct XFreeDeleter {
    void operator()(void* data) const noexcept;
};

using XVisualInfoPtr = std::unique_ptr<XVisualInfo, XFreeDeleter>;

/** The visual an OpenGL window needs when it is made as a child of `parent` (a host's window, or the
    root): 8 bits a colour with a 24-bit depth buffer (double-buffered when asked), on the parent's
    screen; without a depth buffer when the server offers none with one. Null when the parent is not a
    window of this display or the server has no GLX visual at all. Thread of the display. */
XVisualInfoPtr chooseGLXVisual(Display* display, unsigned long parent, bool doubleBuffered);

} // namespace q9framework
