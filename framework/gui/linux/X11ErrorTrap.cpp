// The process-wide side of X11ErrorTrap: the list of live traps and the handler that Xlib calls. Xlib
// calls the handler on the thread that reads the error from the connection, with that display
// unlocked; it must not make requests. Our lock is held only for the bookkeeping, never while Xlib or
// the previous handler runs on our behalf, so the handler can never wait for a thread that waits
// for Xlib.
#include "framework/gui/linux/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <syslog.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace q9framework {

struct X11ErrorTraps {
    static std::mutex& lock()
    {
        static std::mutex mutex;
        return mutex;
    }
    // Live traps, oldest first; guarded by lock().
    static std::vector<X11ErrorTrap*>& live()
    {
        static std::vector<X11ErrorTrap*> traps;
        return traps;
    }
    // The handler that was installed before ours; guarded by lock().
    static XErrorHandler& previous()
    {
        static XErrorHandler handler = nullptr;
        return handler;
    }

    // The I/O error handler that was installed before ours; guarded by lock().
    static XIOErrorHandler& previousIO()
    {
        static XIOErrorHandler handler = nullptr;
        return handler;
    }

    // A connection of ours was lost (the server went away or closed it): returning lets Xlib go on to
    // that connection's exit handler, which marks it lost instead of ending the process. Any other
    // connection's loss is the previous handler's business, as if we were not there.
    static int handleIO(Display* display)
    {
        XIOErrorHandler forwardTo = nullptr;
        {
            const std::lock_guard<std::mutex> hold(lock());
            for (const X11ErrorTrap* trap : live())
                if (trap->display == display)
                    return 0;
            forwardTo = previousIO();
        }
        return forwardTo != nullptr ? forwardTo(display) : 0;
    }

    static int handle(Display* display, XErrorEvent* error)
    {
        XErrorHandler forwardTo = nullptr;
        {
            const std::lock_guard<std::mutex> hold(lock());
            auto& traps = live();
            for (auto it = traps.rbegin(); it != traps.rend(); ++it) {
                X11ErrorTrap& trap = **it;
                // Serials grow by one per request; comparing differences survives their wrapping.
                if (trap.display == display && static_cast<long>(error->serial - trap.firstRequest) >= 0) {
                    if (trap.errorCode == 0) {
                        trap.errorCode = error->error_code;
                        trap.requestCode = error->request_code;
                        trap.minorCode = error->minor_code;
                    }
                    return 0;
                }
            }
            forwardTo = previous();
        }
        return forwardTo != nullptr ? forwardTo(display, error) : 0;
    }
};

X11ErrorTrap::X11ErrorTrap(_XDisplay* displayToWatch, const char* operationName)
    : display(displayToWatch), operation(operationName), firstRequest(displayToWatch != nullptr ? NextRequest(displayToWatch) : 0)
{
    const std::lock_guard<std::mutex> hold(X11ErrorTraps::lock());
    auto& traps = X11ErrorTraps::live();
    if (traps.empty()) {
        X11ErrorTraps::previous() = XSetErrorHandler(&X11ErrorTraps::handle);
        X11ErrorTraps::previousIO() = XSetIOErrorHandler(&X11ErrorTraps::handleIO);
    }
    traps.push_back(this);
}

X11ErrorTrap::~X11ErrorTrap()
{
    // Whatever the scope asked for must be answered while the trap still catches it.
    hasFailed();
    const std::lock_guard<std::mutex> hold(X11ErrorTraps::lock());
    auto& traps = X11ErrorTraps::live();
    traps.erase(std::remove(traps.begin(), traps.end(), this), traps.end());
    if (traps.empty()) {
        const XErrorHandler current = XSetErrorHandler(X11ErrorTraps::previous());
        if (current != &X11ErrorTraps::handle)
            XSetErrorHandler(current);   // someone installed theirs after ours: keep it
        X11ErrorTraps::previous() = nullptr;
        const XIOErrorHandler currentIO = XSetIOErrorHandler(X11ErrorTraps::previousIO());
        if (currentIO != &X11ErrorTraps::handleIO)
            XSetIOErrorHandler(currentIO);
        X11ErrorTraps::previousIO() = nullptr;
    }
}

bool X11ErrorTrap::hasFailed()
{
    if (display == nullptr)
        return true;
    XSync(display, False);
    int code = 0, request = 0, minor = 0;
    bool firstReport = false;
    {
        const std::lock_guard<std::mutex> hold(X11ErrorTraps::lock());
        code = errorCode;
        request = requestCode;
        minor = minorCode;
        firstReport = code != 0 && !logged;
        logged = logged || code != 0;
    }
    if (firstReport) {
        char text[128] = {};
        XGetErrorText(display, code, text, sizeof(text));
        syslog(LOG_WARNING, "VelmoraKelvaneAU1_Q9: X error while %s: %s (request %d.%d)", operation, text, request, minor);
    }
    return code != 0;
}

int X11ErrorTrap::getErrorCode() const
{
    const std::lock_guard<std::mutex> hold(X11ErrorTraps::lock());
    return errorCode;
}

} // namespace q9framework
