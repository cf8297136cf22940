#include "framework/core/Message.h"

#include "framework/core/MessageLoop.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace q9framework {

// What a queued delivery holds instead of the poster: the poster's address while it lives, null after.
// Its lock is held only to look the poster up and to take or drop a pending message, never while a
// handler runs, so a handler may post, create or destroy posters, or wait for a thread that does.
// A poster destroyed on another thread waits for a delivery in progress to return instead; one
// destroyed by its own handler does not wait.
struct MessagePoster::Token {
    std::mutex lock;
    std::condition_variable deliveryDone;
    MessagePoster* poster;
    std::thread::id deliveringOn;   // the thread inside handleMessage, or none
    explicit Token(MessagePoster* p) : poster(p) {}
};

// One queued delivery. It owns its message until the message is handed over; if it is dropped
// undelivered (the loop destroyed before the poster) it first takes the message out of the poster's
// pending list, so the poster never keeps the address of a destroyed message.
struct MessagePoster::Delivery {
    std::shared_ptr<Token> token;
    std::unique_ptr<Message> message;

    Delivery(std::shared_ptr<Token> t, std::unique_ptr<Message> m) : token(std::move(t)), message(std::move(m)) {}
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    ~Delivery()
    {
        if (message == nullptr)
            return;
        const std::lock_guard<std::mutex> hold(token->lock);
        if (token->poster != nullptr)
            token->poster->takePending(message.get());
        // the message itself is destroyed after the lock is released
    }

    void run()
    {
        std::unique_ptr<Message> m = std::move(message);   // destroyed after `hold` when not handed over
        if (m == nullptr)
            return;
        std::unique_lock<std::mutex> hold(token->lock);
        MessagePoster* const poster = token->poster;
        if (poster == nullptr || !poster->takePending(m.get()))
            return;   // the poster is gone or cancelled it: destroyed here, nothing else is touched
        const std::thread::id outer = token->deliveringOn;
        token->deliveringOn = std::this_thread::get_id();
        hold.unlock();
        poster->handleMessage(m.release());   // may destroy the poster; only the token is used after
        hold.lock();
        token->deliveringOn = outer;
        hold.unlock();
        token->deliveryDone.notify_all();
    }
};

MessagePoster::MessagePoster(void* ownerPointer, MessageLoop* loopToUse)
    : owner(ownerPointer), loop(loopToUse != nullptr ? *loopToUse : MessageLoop::getMain()),
      token(std::make_shared<Token>(this))
{
}

MessagePoster::~MessagePoster()
{
    {
        const ScopedLock guard(lock);
        destroying = true;
    }
    {
        std::unique_lock<std::mutex> hold(token->lock);
        const std::thread::id self = std::this_thread::get_id();
        token->deliveryDone.wait(hold, [&] { return token->deliveringOn == std::thread::id() || token->deliveringOn == self; });
        token->poster = nullptr;
    }
    cancelPendingMessages();
}

void MessagePoster::postMessage(Message* message)
{
    if (message == nullptr)
        return;
    std::unique_ptr<Message> owned(message);
    {
        const ScopedLock guard(lock);
        if (destroying)
            return;   // destroyed with `owned`
        message->poster = this;
        pending.push_back(message);
    }
    // std::function needs a copyable callable, so the delivery travels shared; whoever drops the last
    // copy without running it (the loop going away) destroys it, and with it the message.
    auto delivery = std::make_shared<Delivery>(token, std::move(owned));
    loop.post([delivery]() { delivery->run(); });
}

bool MessagePoster::takePending(Message* message)
{
    const ScopedLock guard(lock);
    const auto it = std::find(pending.begin(), pending.end(), message);
    if (it == pending.end())
        return false;
    pending.erase(it);
    return true;
}

void MessagePoster::cancelPendingMessages()
{
    const ScopedLock guard(lock);
    for (Message* m : pending)
        m->poster = nullptr;
    pending.clear();
}

int MessagePoster::getNumPendingMessages() const
{
    const ScopedLock guard(lock);
    return static_cast<int>(pending.size());
}

} // namespace q9framework
