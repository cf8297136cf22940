#pragma once
#include "framework/core/CriticalSection.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace q9framework {

class MessageLoop;
class MessagePoster;

/** A message for a MessagePoster: a code and whatever a derived class adds. Posted messages are owned
    by the system until delivered; handleMessage receives ownership. */
class Message {
public:
    explicit Message(uint64_t messageCode) noexcept : code(messageCode) {}
    virtual ~Message() = default;
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    uint64_t getCode() const noexcept { return code; }
    /** The poster it waits for; null once it was cancelled (or before it was posted). */
    MessagePoster* getPoster() const noexcept { return poster; }

private:
    friend class MessagePoster;
    const uint64_t code;
    MessagePoster* poster = nullptr;
};

/** Receives messages on the main loop's thread, posted from any thread, in posting order.

    A message is delivered only while its poster lives: destroying the poster (or
    cancelPendingMessages) cancels every pending message, and a cancelled message is destroyed without
    reaching handleMessage and without touching the poster. A delivery already running on the main
    thread finishes before a destructor on another thread returns (so a handler must not wait for a
    thread that destroys its own poster); no lock is held while handleMessage runs.
    The poster and its loop may be destroyed in either order; a poster whose loop is gone must not
    post any more. Messages still queued in a destroyed loop are destroyed with it.
    Derived classes destroyed on another thread than the main one should call cancelPendingMessages
    first in their own destructor, because the base destructor runs after the derived part is gone. */
class MessagePoster {
public:
    /** `owner` is opaque, for the derived class. Messages go to the main loop unless `loop` is given. */
    explicit MessagePoster(void* owner = nullptr, MessageLoop* loop = nullptr);
    virtual ~MessagePoster();
    MessagePoster(const MessagePoster&) = delete;
    MessagePoster& operator=(const MessagePoster&) = delete;

    /** Main thread; takes ownership of the message. */
    virtual void handleMessage(Message* message) = 0;

    /** Any thread except the audio thread (allocates the delivery); takes ownership. A message posted
        to a poster being destroyed is destroyed at once. Null is ignored. */
    void postMessage(Message* message);
    /** Any thread: cancels every pending message. */
    void cancelPendingMessages();
    int getNumPendingMessages() const;
    void* getOwner() const noexcept { return owner; }

private:
    struct Token;
    struct Delivery;
    /** Takes `message` out of the pending list; false when it is not there (cancelled). */
    bool takePending(Message* message);

    void* const owner;
    MessageLoop& loop;
    bool destroying = false;
    CriticalSection lock;                 // guards `pending` and `destroying`
    std::vector<Message*> pending;        // not owned: the queued deliveries own the messages
    std::shared_ptr<Token> token;         // shared with queued deliveries; outlives the poster
};

} // namespace q9framework
