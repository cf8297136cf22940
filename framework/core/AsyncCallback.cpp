#include "framework/core/AsyncCallback.h"

#include "framework/core/MessageLoop.h"
#include "framework/core/ProcessWideList.h"

#include <algorithm>
#include <condition_variable>
#include <thread>
#include <vector>

namespace q9framework {

using Registered = ProcessWideList<AsyncCallback>;

namespace {

// The callback whose handler a dispatch is running, and on which thread; guarded by the list's lock.
// The lock itself is released while the handler runs, so the handler may create or destroy callbacks
// or wait for a thread that does; a callback destroyed on another thread meanwhile waits for its
// running handler to return.
AsyncCallback* runningCallback = nullptr;
std::thread::id runningThread;

std::condition_variable_any& handlerReturned()
{
    static std::condition_variable_any condition;
    return condition;
}

} // namespace

AsyncCallback::AsyncCallback() { Registered::add(this); }

AsyncCallback::~AsyncCallback()
{
    std::unique_lock<std::recursive_mutex> hold(Registered::lock());
    const std::thread::id self = std::this_thread::get_id();
    handlerReturned().wait(hold, [&] { return runningCallback != this || runningThread == self; });
    auto& list = Registered::items();
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
    // The callbacks registered now, in list order; each is looked up again before each call, because
    // a handler may destroy others (or itself). Ones created meanwhile wait for the next dispatch,
    // which their own trigger asks for.
    std::vector<AsyncCallback*> snapshot;
    {
        const std::lock_guard<std::recursive_mutex> hold(Registered::lock());
        snapshot = Registered::items();
    }
    int calls = 0;
    for (AsyncCallback* const callback : snapshot) {
        for (;;) {
            std::unique_lock<std::recursive_mutex> hold(Registered::lock());
            const auto& list = Registered::items();
            if (std::find(list.begin(), list.end(), callback) == list.end())
                break;   // destroyed by an earlier handler
            int32_t pending = callback->pendingCount.load(std::memory_order_acquire);
            while (pending > 0
                   && !callback->pendingCount.compare_exchange_weak(pending, pending - 1, std::memory_order_acq_rel)) {
            }
            if (pending <= 0)
                break;
            AsyncCallback* const outer = runningCallback;
            const std::thread::id outerThread = runningThread;
            runningCallback = callback;
            runningThread = std::this_thread::get_id();
            hold.unlock();
            callback->handleAsyncUpdate();
            ++calls;
            hold.lock();
            runningCallback = outer;
            runningThread = outerThread;
            hold.unlock();
            handlerReturned().notify_all();
        }
    }
    return calls;
}

} // namespace q9framework
