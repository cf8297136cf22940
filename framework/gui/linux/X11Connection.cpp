#include "framework/gui/linux/X11Connection.h"

#include "framework/gui/linux/X11ErrorTrap.h"
#include "framework/gui/linux/X11NativeWindow.h"
#include "framework/core/MessageLoop.h"

#include <X11/XKBlib.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xresource.h>
#include <X11/cursorfont.h>

#include <syslog.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace q9framework {

namespace {

X11Connection* openConnection = nullptr;
uint64_t generation = 0;

double readDesktopScale(Display* display)
{
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr)
        return 1.0;
    XrmInitialize();
    XrmDatabase db = XrmGetStringDatabase(resources);
    if (db == nullptr)
        return 1.0;
    double scale = 1.0;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
        const double dpi = std::strtod(value.addr, nullptr);
        if (dpi > 0.0)
            scale = dpi / 96.0;
    }
    XrmDestroyDatabase(db);
    return scale;
}

// The desktop's names for the standard cursors, with the core font's shape where a theme lacks them.
struct CursorName {
    const char* name;
    unsigned int fallback;
};
constexpr CursorName cursorNames[16] = {
    {"left_ptr", XC_left_ptr},          {"hand2", XC_hand2},           {"sb_v_double_arrow", XC_sb_v_double_arrow},
    {"sb_h_double_arrow", XC_sb_h_double_arrow}, {"left_ptr", XC_left_ptr}, {"left_side", XC_left_side},
    {"right_side", XC_right_side},      {"left_side", XC_left_side},   {"right_side", XC_right_side},
    {"openhand", XC_fleur},             {"closedhand", XC_fleur},      {"left_ptr", XC_left_ptr},
    {"crosshair", XC_crosshair},        {"left_ptr", XC_left_ptr},     {"dnd-copy", XC_plus},
    {"left_ptr", XC_left_ptr},
};

} // namespace

X11Connection* X11Connection::acquire()
{
    if (openConnection == nullptr) {
        // A busy server refuses a connection now and then while its listen queue is full; a few short
        // retries turn that into a brief wait. Without DISPLAY there is nothing to retry.
        Display* display = XOpenDisplay(nullptr);
        for (int attempt = 0; display == nullptr && attempt < 5 && std::getenv("DISPLAY") != nullptr; ++attempt) {
            usleep(20000);
            display = XOpenDisplay(nullptr);
        }
        if (display == nullptr)
            return nullptr;
        openConnection = new X11Connection(display);
    }
    ++openConnection->users;
    return openConnection;
}

void X11Connection::release()
{
    if (--users > 0)
        return;
    openConnection = nullptr;
    delete this;
}

X11Connection* X11Connection::get() noexcept
{
    return openConnection;
}

uint64_t X11Connection::getGeneration() noexcept
{
    return generation;
}

X11Connection::X11Connection(Display* d)
    : display(d), connectionErrors(std::make_unique<X11ErrorTrap>(d, "using the toolkit's X connection"))
{
    ++generation;

    // Held keys repeat as presses only, as on other desktops (no release between them).
    XkbSetDetectableAutoRepeat(display, True, nullptr);

    const char* names[] = {"WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_STATE", "_NET_WM_STATE",
                           "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_NAME",
                           "UTF8_STRING", "XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave",
                           "XdndDrop", "XdndFinished", "XdndSelection", "XdndTypeList", "XdndActionCopy",
                           "text/uri-list", "VelmoraKelvaneAU1_Q9DropData"};
    static_assert(sizeof(names) / sizeof(names[0]) == sizeof(Atoms) / sizeof(Atom), "one name per atom");
    XInternAtoms(display, const_cast<char**>(names), static_cast<int>(sizeof(names) / sizeof(names[0])), False,
                 reinterpret_cast<Atom*>(&atoms));
    desktopScale = readDesktopScale(display);

    XSetIOErrorExitHandler(display, &X11Connection::connectionLost, this);
    MessageLoop::getMain().addDescriptor(
        ConnectionNumber(display), [this] { processEvents(); }, true);
    readingEvents = true;
}

void X11Connection::connectionLost(Display*, void* connection)
{
    // Called from inside whichever Xlib call found the connection broken: only note it. Returning
    // keeps the process alive; Xlib makes every later call on this display do nothing.
    auto* self = static_cast<X11Connection*>(connection);
    if (!self->lost)
        syslog(LOG_WARNING, "VelmoraKelvaneAU1_Q9: lost the connection to the X server");
    self->lost = true;
}

X11Connection::~X11Connection()
{
    if (readingEvents)
        MessageLoop::getMain().removeDescriptor(ConnectionNumber(display));
    for (::Cursor& c : standardCursors)
        if (c != 0)
            XFreeCursor(display, c);
    if (blankCursor != 0)
        XFreeCursor(display, blankCursor);
    // The trap syncs as it goes, so every request of ours has been answered (and any error taken)
    // before the connection closes; closing makes no request that could fail.
    connectionErrors.reset();
    XCloseDisplay(display);
}

void X11Connection::addWindow(unsigned long window, X11NativeWindow* owner)
{
    windows[window] = owner;
}

void X11Connection::removeWindow(unsigned long window)
{
    windows.erase(window);
}

void X11Connection::processEvents()
{
    // A window may close the last window (and with it this connection) while handling an event.
    const uint64_t myGeneration = generation;
    while (!lost && openConnection == this && generation == myGeneration && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        dispatch(event);
    }
    if (lost && openConnection == this && generation == myGeneration && readingEvents) {
        // A broken socket reads as ready forever: stop watching it. Its windows are gone with it; each
        // is told so (a window told may close others, so each is looked up again).
        MessageLoop::getMain().removeDescriptor(ConnectionNumber(display));
        readingEvents = false;
        std::vector<unsigned long> ids;
        for (const auto& entry : windows)
            ids.push_back(entry.first);
        for (const unsigned long id : ids) {
            if (openConnection != this || generation != myGeneration)
                break;
            const auto found = windows.find(id);
            if (found != windows.end())
                found->second->connectionLost();
        }
    }
}

void X11Connection::dispatch(XEvent& event)
{
    const auto found = windows.find(event.xany.window);
    if (found != windows.end())
        found->second->handleEvent(event);
}

::Cursor X11Connection::getStandardCursor(int index)
{
    if (index < 0 || index >= 16)
        index = 0;
    if (standardCursors[index] == 0) {
        standardCursors[index] = XcursorLibraryLoadCursor(display, cursorNames[index].name);
        if (standardCursors[index] == 0)
            standardCursors[index] = XCreateFontCursor(display, cursorNames[index].fallback);
    }
    return standardCursors[index];
}

::Cursor X11Connection::getBlankCursor()
{
    if (blankCursor == 0) {
        if (XcursorImage* image = XcursorImageCreate(1, 1)) {
            image->xhot = image->yhot = 0;
            image->pixels[0] = 0;
            blankCursor = XcursorImageLoadCursor(display, image);
            XcursorImageDestroy(image);
        }
    }
    return blankCursor;
}

} // namespace q9framework
