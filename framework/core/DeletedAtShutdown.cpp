#include "framework/core/DeletedAtShutdown.h"

#include "framework/core/ProcessWideList.h"

namespace q9framework {

using Registered = ProcessWideList<DeletedAtShutdown>;

DeletedAtShutdown::DeletedAtShutdown() { Registered::add(this); }

DeletedAtShutdown::~DeletedAtShutdown() { Registered::remove(this); }

void DeletedAtShutdown::deleteAll()
{
    // One at a time, newest first, re-reading the list each time: a destructor may delete other
    // listed objects or create new ones.
    for (;;) {
        DeletedAtShutdown* newest = nullptr;
        {
            const std::lock_guard<std::recursive_mutex> hold(Registered::lock());
            if (Registered::items().empty())
                return;
            newest = Registered::items().back();
        }
        delete newest;
    }
}

int DeletedAtShutdown::getNumInstances() { return Registered::size(); }

} // namespace q9framework
