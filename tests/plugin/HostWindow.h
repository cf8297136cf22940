#pragma once

// The host's side of an editor: a mapped parent window on the test's own X connection (the module opens
// its own), the windows the editor put into it, and a user who drags the gain knob with XTest.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>

#include <vector>

inline int openDescriptors()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++count;
        closedir(dir);
    }
    return count;
}

/** Null `display` when there is no X server. */
struct HostWindow {
    explicit HostWindow(int width = 800, int height = 200) : display(XOpenDisplay(nullptr))
    {
        if (display != nullptr)
            makeParent(width, height);
    }
    ~HostWindow()
    {
        if (display != nullptr) {
            if (parent != 0)
                XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    /** A new mapped parent (the old one is the caller's to destroy). */
    void makeParent(int width, int height)
    {
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                     static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void* handle() const { return reinterpret_cast<void*>(parent); }
    std::vector<::Window> children() const
    {
        ::Window root = 0, up = 0, *list = nullptr;
        unsigned int n = 0;
        std::vector<::Window> result;
        if (XQueryTree(display, parent, &root, &up, &list, &n) != 0 && list != nullptr) {
            result.assign(list, list + n);
            XFree(list);
        }
        return result;
    }
    /** Presses the gain knob (editor pixels 469, 81 at the default size), moves up by `steps` pixels
        calling `idle` between the moves, and lets go. */
    template <typename Idle>
    void dragGainKnob(int steps, Idle idle)
    {
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), 469, 81, &x, &y, &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, 0);
        XTestFakeButtonEvent(display, 1, True, 0);
        XFlush(display);
        idle();
        for (int i = 1; i <= steps; ++i) {
            XTestFakeMotionEvent(display, DefaultScreen(display), x, y - i, 0);
            XFlush(display);
            idle();
        }
        XTestFakeButtonEvent(display, 1, False, 0);
        XFlush(display);
        idle();
    }

    Display* const display;
    ::Window parent = 0;
};
