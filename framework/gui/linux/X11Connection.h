#pragma once
#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <memory>

namespace q9framework {

class X11ErrorTrap;
class X11NativeWindow;

/** The toolkit's own connection to the X server, shared by all its windows: never the host's (a host
    passes its Display to effEditOpen; using it would put our requests into its event stream), and never
    XInitThreads (the host decides about that; we use the connection from the loop thread only).

    Opened with the first window and closed with the last, on the thread that pumps the main
    MessageLoop, where its descriptor is registered: events are read and handed to their windows in the
    loop's pumps (also the ones Xlib queued while doing other work). Holds what belongs to the
    connection: atoms, the standard cursors, a blank cursor, the desktop scale.

    X errors: the connection keeps an X11ErrorTrap from its opening to its closing, so an error on it
    (a request on a window the host destroyed, read whenever Xlib gets to it) is a failed operation,
    never the end of the host; every other connection's errors still reach the handler that was there
    before. Code that must know whether its own requests failed nests a trap of its own around them:
    the newest trap takes the errors of the requests made in its scope.

    Losing the connection (the server goes away, or closes us) is no end of the host either: the
    connection is marked lost, stops reading, and every later request on it does nothing until the
    last window closes it; the next window opens a new one. */
class X11Connection {
public:
    /** The open connection (opened now if there is none); null when no display can be reached. Every
        acquire is paired with a release. */
    static X11Connection* acquire();
    void release();
    /** The open connection, or null. */
    static X11Connection* get() noexcept;
    /** Counts the connections opened so far; a cursor made on an earlier one is stale. */
    static uint64_t getGeneration() noexcept;

    Display* getDisplay() const noexcept { return display; }
    /** True once the connection broke. */
    bool isLost() const noexcept { return lost; }
    /** Reads and dispatches every event that is available now. */
    void processEvents();

    void addWindow(unsigned long window, X11NativeWindow* owner);
    void removeWindow(unsigned long window);

    /** Standard cursor 0..15 (anything else is the arrow), made on first use through Xcursor names. */
    ::Cursor getStandardCursor(int index);
    ::Cursor getBlankCursor();
    /** Xft.dpi / 96 from the server's resources, 1.0 when it is not set. */
    double getDesktopScale() const noexcept { return desktopScale; }

    struct Atoms {
        Atom wmProtocols, wmDeleteWindow, wmState, netWmState, netWmStateMaxVert, netWmStateMaxHorz, netWmName,
            utf8String, xdndAware, xdndEnter, xdndPosition, xdndStatus, xdndLeave, xdndDrop, xdndFinished,
            xdndSelection, xdndTypeList, xdndActionCopy, uriList, dropProperty;
    };
    const Atoms& getAtoms() const noexcept { return atoms; }

private:
    explicit X11Connection(Display* display);
    ~X11Connection();
    void dispatch(XEvent& event);
    static void connectionLost(Display* display, void* connection);

    Display* display;
    std::unique_ptr<X11ErrorTrap> connectionErrors;    // from the opening to the closing
    int users = 0;
    Atoms atoms{};
    std::map<unsigned long, X11NativeWindow*> windows;
    ::Cursor standardCursors[16] = {};
    ::Cursor blankCursor = 0;
    double desktopScale = 1.0;
    bool lost = false;              // loop thread only, as every use of the display
    bool readingEvents = false;     // the descriptor is registered with the main loop
};

} // namespace q9framework
