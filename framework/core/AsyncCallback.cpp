#include "framework/core/AsyncCallback.h"

#include "framework/core/MessageLoop.h"
#include "framework/core/ProcessWideList.h"

namespace q9framework {

using Registered = ProcessWideList<AsyncCallback>;

AsyncCallback::AsyncCallback() { Registered::add(this); }

AsyncCallback::~AsyncCallback() { Registered::remove(this); }

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
    const std::lock_guard<std::recursive_mutex> hold(Registered::lock());
    auto& list = Registered::items();
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
