#pragma once

// What the X server holds for this process's connections (the test's own and the ones the module
// opens), by resource type: windows, pixmaps, graphics contexts, GLX contexts and drawables, ...
// Read with the X-Resource extension, which tells each client's process id.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <unistd.h>

#include <map>
#include <string>

namespace threadrig {

/** Counts by resource type name; empty when the server has no X-Resource extension. */
inline std::map<std::string, long> serverResourcesOfThisProcess(Display* display)
{
    std::map<std::string, long> counts;
    int event = 0, error = 0;
    if (!XResQueryExtension(display, &event, &error))
        return counts;
    XSync(display, False);
    XResClientIdSpec all{0, XRES_CLIENT_ID_PID_MASK};
    long numIds = 0;
    XResClientIdValue* ids = nullptr;
    if (XResQueryClientIds(display, 1, &all, &numIds, &ids) != Success)
        return counts;
    for (long i = 0; i < numIds; ++i) {
        if (XResGetClientPid(&ids[i]) != getpid())
            continue;
        int numTypes = 0;
        XResType* types = nullptr;
        if (XResQueryClientResources(display, ids[i].spec.client, &numTypes, &types) == 0)   // 0: failed
            continue;
        for (int t = 0; t < numTypes; ++t) {
            char* name = XGetAtomName(display, types[t].resource_type);
            counts[name != nullptr ? name : "?"] += types[t].count;
            XFree(name);
        }
        XFree(types);
    }
    XResClientIdsDestroy(numIds, ids);
    return counts;
}

} // namespace threadrig
