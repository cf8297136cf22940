#include "auwrapper/platform/linux/X11EmptyView.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>

namespace q9framework {

namespace {

// A scope in which the X errors of one display are caught instead of reaching Xlib's default handler
// (which exits). Errors of other connections go to whatever handler was installed before. Scopes are
// short (a request or two and a sync), so one at a time in the process is enough.
std::mutex trapMutex;
Display* trappedDisplay = nullptr;
int trappedError = 0;
XErrorHandler previousHandler = nullptr;

int catchError(Display* display, XErrorEvent* event)
{
    if (display == trappedDisplay) {
        if (trappedError == 0)
            trappedError = event->error_code;
        return 0;
    }
    return previousHandler != nullptr ? previousHandler(display, event) : 0;
}

class ErrorScope {
public:
    explicit ErrorScope(Display* display) : lock(trapMutex)
    {
        trappedDisplay = display;
        trappedError = 0;
        previousHandler = XSetErrorHandler(&catchError);
    }
    ~ErrorScope()
    {
        XSync(trappedDisplay, False);
        XSetErrorHandler(previousHandler);
        trappedDisplay = nullptr;
    }
    /** Syncs, then whether a request of the scope failed. */
    bool failed()
    {
        XSync(trappedDisplay, False);
        return trappedError != 0;
    }

private:
    std::lock_guard<std::mutex> lock;
};

} // namespace

struct X11EmptyView::Connection {
    Display* display = nullptr;
    ~Connection()
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }
};

std::unique_ptr<X11EmptyView> X11EmptyView::create(unsigned long parent, int width, int height)
{
    if (parent == 0)
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(nullptr);
    if (connection->display == nullptr)
        return nullptr;
    Display* const display = connection->display;
    width = std::max(width, 1);
    height = std::max(height, 1);
    ::Window window = 0;
    {
        ErrorScope scope(display);
        XWindowAttributes parentAttributes{};
        if (XGetWindowAttributes(display, parent, &parentAttributes) == 0 || scope.failed())
            return nullptr;
        XSetWindowAttributes attributes{};
        attributes.background_pixel = BlackPixelOfScreen(parentAttributes.screen);
        attributes.event_mask = StructureNotifyMask;
        window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                               CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
        XMapWindow(display, window);
        if (scope.failed())
            return nullptr;     // the connection's close takes whatever was made with it
    }
    return std::unique_ptr<X11EmptyView>(new X11EmptyView(std::move(connection), window, width, height));
}

X11EmptyView::X11EmptyView(std::unique_ptr<Connection> c, unsigned long window, int width, int height)
    : connection(std::move(c)), handle(window), frameWidth(width), frameHeight(height)
{
}

X11EmptyView::~X11EmptyView()
{
    {
        ErrorScope scope(connection->display);
        XDestroyWindow(connection->display, handle);   // a parent destroyed first took it already
    }
}

bool X11EmptyView::setSize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    ErrorScope scope(connection->display);
    XResizeWindow(connection->display, handle, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (scope.failed())
        return false;
    frameWidth = width;
    frameHeight = height;
    return true;
}

} // namespace q9framework
