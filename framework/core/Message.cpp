#include "framework/core/Message.h"

#include "framework/core/MessageLoop.h"

#include <algorithm>
#include <mutex>

namespace q9framework {

// What a queued delivery holds instead of the poster: the poster's address while it lives, null after.
// Its lock is held for a whole delivery, so a poster destroyed on another thread waits for a
// delivery in progress, and one destroyed later is seen as gone. Recursive, because a handler may
// destroy its own poster.
struct MessagePoster::Token {
    std::recursive_mutex lock;
    MessagePoster* poster;
    explicit Token(MessagePoster* p) : poster(p) {}
};

MessagePoster::MessagePoster(void* ownerPointer, MessageLoop* loopToUse)
    : owner(ownerPointer), loop(loopToUse != nullptr ? *loopToUse : MessageLoop::getMain()),
      token(std::make_shared<Token>(this))
{
}

MessagePoster::~MessagePoster()
{
    const std::lock_guard<std::recursive_mutex> hold(token->lock);
    {
        const ScopedLock guard(lock);
        destroying = true;
    }
    cancelPendingMessages();
    token->poster = nullptr;
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
    // std::function needs a copyable callable, so the message travels in a shared holder; whoever
    // drops the last copy without delivering (the loop going away) destroys it.
    auto holder = std::make_shared<std::unique_ptr<Message>>(std::move(owned));
    std::shared_ptr<Token> t = token;
    loop.post([t, holder]() {
        std::unique_ptr<Message> m = std::move(*holder);
        if (m == nullptr)
            return;
        const std::lock_guard<std::recursive_mutex> hold(t->lock);
        MessagePoster* const poster = t->poster;
        if (poster == nullptr)
            return;   // the poster is gone: the message is destroyed here, nothing else is touched
        poster->deliver(std::move(m));   // delivers only if still pending, i.e. not cancelled
    });
}

void MessagePoster::deliver(std::unique_ptr<Message> message)
{
    {
        const ScopedLock guard(lock);
        const auto it = std::find(pending.begin(), pending.end(), message.get());
        if (it == pending.end())
            return;
        pending.erase(it);
    }
    handleMessage(message.release());
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
