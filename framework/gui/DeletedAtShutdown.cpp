#include "framework/gui/DeletedAtShutdown.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace q9framework {

namespace {

// Function-local statics: objects may register from other statics' constructors at load time.
std::recursive_mutex& listLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::vector<DeletedAtShutdown*>& instances()
{
    static std::vector<DeletedAtShutdown*> list;
    return list;
}

} // namespace

DeletedAtShutdown::DeletedAtShutdown()
{
    const std::lock_guard<std::recursive_mutex> hold(listLock());
    instances().push_back(this);
}

DeletedAtShutdown::~DeletedAtShutdown()
{
    const std::lock_guard<std::recursive_mutex> hold(listLock());
    auto& list = instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void DeletedAtShutdown::deleteAll()
{
    // One at a time, newest first, re-reading the list each time: a destructor may delete other
    // listed objects or create new ones.
    for (;;) {
        DeletedAtShutdown* newest = nullptr;
        {
            const std::lock_guard<std::recursive_mutex> hold(listLock());
            if (instances().empty())
                return;
            newest = instances().back();
        }
        delete newest;
    }
}

int DeletedAtShutdown::getNumInstances()
{
    const std::lock_guard<std::recursive_mutex> hold(listLock());
    return static_cast<int>(instances().size());
}

} // namespace q9framework
