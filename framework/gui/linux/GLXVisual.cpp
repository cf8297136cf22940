#include "framework/gui/linux/GLXVisual.h"

#include <epoxy/glx.h>

#include <initializer_list>

namespace q9framework {

void XFreeDeleter::operator()(void* data) const noexcept
{
    if (data != nullptr)
        XFree(data);
}

XVisualInfoPtr chooseGLXVisual(Display* display, unsigned long parent, bool doubleBuffered)
{
    if (display == nullptr || parent == 0)
        return nullptr;
    // The child must live on the parent's screen; a window that is gone (a host may have destroyed it)
    // reports failure here rather than later.
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, parent, &attributes) == 0 || attributes.screen == nullptr)
        return nullptr;
    const int screen = XScreenNumberOfScreen(attributes.screen);

    for (const int depthBits : {24, 0}) {
        int wanted[] = {GLX_RGBA, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, depthBits,
                        doubleBuffered ? GLX_DOUBLEBUFFER : static_cast<int>(None), static_cast<int>(None)};
        if (XVisualInfo* visual = glXChooseVisual(display, screen, wanted))
            return XVisualInfoPtr(visual);
    }
    return nullptr;
}

} // namespace q9framework
