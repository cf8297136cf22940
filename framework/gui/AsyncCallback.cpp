#include "framework/gui/AsyncCallback.h"

#include "framework/gui/MessageLoop.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace q9framework {

namespace {

// Recursive: a handler may create or destroy callbacks while the dispatch walks the list.
std::recursive_mutex& listLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::vector<AsyncCallback*>& registered()
{
    static std::vector<AsyncCallback*> list;
    return list;
}

} // namespace

AsyncCallback::AsyncCallback()
{
    const std::lock_guard<std::recursive_mutex> hold(listLock());
    registered().push_back(this);
}

AsyncCallback::~AsyncCallback()
{
    const std::lock_guard<std::recursive_mutex> hold(listLock());
    auto& list = registered();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void AsyncCallback::triggerAsyncUpdate(bool coalesce) noexcept
{
    if (coalesce) {
        int32_t expected = 0;
        // Only the trigger that finds nothing pending adds one.
        if (!pendingCount.compare_exchange_strong(expected, 1, std::memory_order_acq_rel))
            return;
    } else {
        pendingCount.fetch_add(1, std::memory_order_acq_rel);
    }
    postAsyncCallbacks();
}

void AsyncCallback::postAsyncCallbacks() noexcept { MessageLoop::getMain().requestAsyncDispatch(); }

int AsyncCallback::dispatchPendingAsyncCallbacks()
{
    const std::lock_guard<std::recursive_mutex> hold(listLock());
    auto& list = registered();
    int calls = 0;
    // By index and re-checked on every step: a handler may remove itself or others from the list.
    size_t i = 0;
    while (i < list.size()) {
        AsyncCallback* const callback = list[i];
        bool removed = false;
        for (;;) {
            int32_t pending = callback->pendingCount.load(std::memory_order_acquire);
            if (pending <= 0)
                break;
            if (!callback->pendingCount.compare_exchange_weak(pending, pending - 1, std::memory_order_acq_rel))
                continue;
            callback->handleAsyncUpdate();
            ++calls;
            if (i >= list.size() || list[i] != callback) {
                removed = true;   // it went away in its own handler: the next one now sits at i
                break;
            }
        }
        if (!removed)
            ++i;
    }
    return calls;
}

} // namespace q9framework
