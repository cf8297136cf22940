// A bare X11 window for OpenGL: the toolkit's GLX visual, a colormap for it, and nothing else. No input,
// no window-manager hints beyond a name.
#include "TestGLWindow.h"
#include "framework/gui/linux/GLXVisual.h"
#include "framework/gui/linux/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>


std::unique_ptr<TestGLWindow> TestGLWindow::create(int width, int height, bool doubleBuffered, bool mapped)
{
    if (width < 1 || height < 1)
        return nullptr;
    std::unique_ptr<TestGLWindow> view(new TestGLWindow());
    // A busy server (Xvfb on a loaded machine) refuses connections now and then with EAGAIN while its
    // listen queue is full; a few patient retries turn that into a short wait instead of no window.
    for (int attempt = 0; attempt < 25 && view->display == nullptr; ++attempt) {
        view->display = XOpenDisplay(nullptr);
        if (view->display == nullptr && getenv("DISPLAY") == nullptr)
            return nullptr;
        if (view->display == nullptr)
            usleep(40000);
    }
    if (view->display == nullptr)
        return nullptr;
    Display* dpy = view->display;

    const q9framework::XVisualInfoPtr visual =
        q9framework::chooseGLXVisual(dpy, DefaultRootWindow(dpy), doubleBuffered);
    if (!visual)
        return nullptr;

    q9framework::X11ErrorTrap trap(dpy, "creating an OpenGL window");
    const ::Window root = RootWindow(dpy, visual->screen);
    view->colormap = XCreateColormap(dpy, root, visual->visual, AllocNone);
    XSetWindowAttributes wa{};
    wa.colormap = view->colormap;
    wa.border_pixel = 0;
    wa.event_mask = StructureNotifyMask | ExposureMask;
    view->window = XCreateWindow(dpy, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 visual->depth, InputOutput, visual->visual, CWColormap | CWBorderPixel | CWEventMask,
                                 &wa);
    if (view->window == 0 || trap.hasFailed())
        return nullptr;
    view->width = width;
    view->height = height;
    XStoreName(dpy, view->window, "VelmoraKelvaneAU1_Q9GLView");
    if (mapped) {
        XMapWindow(dpy, view->window);
        XEvent e;
        do
            XWindowEvent(dpy, view->window, StructureNotifyMask, &e);
        while (e.type != MapNotify);
    }
    XSync(dpy, False);
    return view;
}

TestGLWindow::~TestGLWindow()
{
    if (display == nullptr)
        return;
    {
        q9framework::X11ErrorTrap trap(display, "destroying an OpenGL window");
        if (window != 0)
            XDestroyWindow(display, window);
        if (colormap != 0)
            XFreeColormap(display, colormap);
    }
    XCloseDisplay(display);
}
