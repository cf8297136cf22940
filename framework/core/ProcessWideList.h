#pragma once
#include <algorithm>
#include <mutex>
#include <vector>

namespace q9framework {

/** A process-wide list of live objects of one kind (async callbacks, shutdown objects), each entered
    at construction and removed at destruction. The lock is recursive because the objects' own
    callbacks and destructors, run while a walk holds it, may add or remove entries; walks therefore
    go by index and re-check. Function-local statics, so objects made by other statics at load time
    find the list ready. */
template <typename T>
class ProcessWideList {
public:
    static std::recursive_mutex& lock()
    {
        static std::recursive_mutex mutex;
        return mutex;
    }
    /** Only with lock() held. */
    static std::vector<T*>& items()
    {
        static std::vector<T*> list;
        return list;
    }
    static void add(T* item)
    {
        const std::lock_guard<std::recursive_mutex> hold(lock());
        items().push_back(item);
    }
    static void remove(T* item)
    {
        const std::lock_guard<std::recursive_mutex> hold(lock());
        auto& list = items();
        list.erase(std::remove(list.begin(), list.end(), item), list.end());
    }
    static int size()
    {
        const std::lock_guard<std::recursive_mutex> hold(lock());
        return static_cast<int>(items().size());
    }
};

} // namespace q9framework
