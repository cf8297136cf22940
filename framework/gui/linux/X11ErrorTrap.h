#pragma once

struct _XDisplay;

namespace q9framework {

/** Catches the X errors of the requests our code makes on one display connection for a scope, so that
    a failing request (a window the host destroyed under us: BadWindow, BadDrawable, GLXBadDrawable)
    makes the operation fail instead of ending the host: Xlib's default error handler exits the process.

    Xlib has one error handler for the whole process. The first live trap installs ours and the last one
    puts the previous handler back (unless someone replaced ours meanwhile, whose handler then stays).
    Errors are matched to the newest live trap on the same display whose first request they follow;
    every other error (another connection's, the host's own, ours from before the trap) goes to the
    previous handler, as if no trap existed. Traps may be used on several threads and nested.

    The same goes for the loss of a connection (Xlib's I/O error, whose default handler also exits):
    while a trap lives on a display, its loss is left to that display's exit handler; any other
    connection's loss goes to the handler that was there before.

    Errors arrive asynchronously: hasFailed() and the destructor sync with the server first, so every
    request made within the scope has been answered. The first error is written to the system log. */
class X11ErrorTrap {
public:
    /** `operation` names what is being done, for the log; a literal (it is kept, not copied). */
    X11ErrorTrap(_XDisplay* display, const char* operation);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    /** Syncs with the server, then whether any request made since the trap was set failed. */
    bool hasFailed();
    /** The X error code of the first failure (BadWindow is 3), 0 if none so far (as of the last sync). */
    int getErrorCode() const;

private:
    friend struct X11ErrorTraps;
    _XDisplay* const display;
    const char* const operation;
    unsigned long firstRequest;
    int errorCode = 0;
    int requestCode = 0;
    int minorCode = 0;
    bool logged = false;
};

} // namespace q9framework
