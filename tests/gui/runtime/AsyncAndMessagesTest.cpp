#include "framework/core/AsyncCallback.h"
#include "framework/core/Message.h"
#include "framework/core/MessageLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <vector>

using namespace q9framework;

namespace {

// Installs a loop on a manual clock as the main loop for one test, as the editor tests do.
struct MainLoopTest : ::testing::Test {
    ManualClock clock;
    MessageLoop loop{clock};
    MessageLoop* previous = nullptr;
    void SetUp() override { previous = MessageLoop::setMain(&loop); }
    void TearDown() override { MessageLoop::setMain(previous); }
};

struct CountingCallback : AsyncCallback {
    int calls = 0;
    std::function<void()> onUpdate;
    void handleAsyncUpdate() override
    {
        ++calls;
        if (onUpdate)
            onUpdate();
    }
};

std::atomic<int> liveMessages{0};

struct CountedMessage : Message {
    explicit CountedMessage(uint64_t messageCode) : Message(messageCode) { ++liveMessages; }
    ~CountedMessage() override { --liveMessages; }
};

struct RecordingPoster : MessagePoster {
    explicit RecordingPoster(MessageLoop& target) : MessagePoster(nullptr, &target) {}
    ~RecordingPoster() override { cancelPendingMessages(); }
    void handleMessage(Message* message) override
    {
        codes.push_back(message->getCode());
        EXPECT_EQ(message->getPoster(), this);
        delete message;
    }
    std::vector<uint64_t> codes;
};

} // namespace

TEST_F(MainLoopTest, TriggersWithoutCoalescingEachRunAndWithItOnlyOnce)
{
    CountingCallback separate, coalesced;
    for (int i = 0; i < 3; ++i) {
        separate.triggerAsyncUpdate(false);
        coalesced.triggerAsyncUpdate(true);
    }
    EXPECT_EQ(separate.getPendingCount(), 3);
    EXPECT_EQ(coalesced.getPendingCount(), 1);
    EXPECT_EQ(separate.calls, 0) << "nothing runs before the main loop is pumped";
    EXPECT_EQ(loop.pump(), 4);
    EXPECT_EQ(separate.calls, 3);
    EXPECT_EQ(coalesced.calls, 1);
    EXPECT_EQ(loop.pump(), 0);
}

TEST_F(MainLoopTest, CallbacksRunInConstructionOrderAndMayDeleteThemselves)
{
    std::vector<int> order;
    auto first = std::make_unique<CountingCallback>();
    CountingCallback second;
    first->onUpdate = [&] { order.push_back(1); first.reset(); };
    second.onUpdate = [&] { order.push_back(2); };
    second.triggerAsyncUpdate();
    first->triggerAsyncUpdate(false);
    first->triggerAsyncUpdate(false);
    loop.pump();
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "the second pending update died with its callback";
}

TEST_F(MainLoopTest, MessagesArriveInPostingOrderAndTheHandlerOwnsThem)
{
    RecordingPoster poster(loop);
    std::thread other([&] {
        for (uint64_t i = 0; i < 500; ++i)
            poster.postMessage(new CountedMessage(i));
    });
    other.join();
    EXPECT_EQ(poster.getNumPendingMessages(), 500);
    loop.pump();
    ASSERT_EQ(poster.codes.size(), 500u);
    for (uint64_t i = 0; i < 500; ++i)
        ASSERT_EQ(poster.codes[i], i);
    EXPECT_EQ(liveMessages.load(), 0);
    EXPECT_EQ(poster.getNumPendingMessages(), 0);
}

TEST_F(MainLoopTest, DestroyedPosterGetsNoneOfItsPendingMessages)
{
    auto poster = std::make_unique<RecordingPoster>(loop);
    poster->postMessage(new CountedMessage(1));
    poster->postMessage(new CountedMessage(2));
    auto* survivor = new RecordingPoster(loop);
    survivor->postMessage(new CountedMessage(3));
    poster.reset();   // must not be touched by the deliveries still queued
    EXPECT_EQ(loop.pump(), 3) << "the deliveries run, but only as clean-up";
    EXPECT_EQ(survivor->codes, std::vector<uint64_t>{3});
    EXPECT_EQ(liveMessages.load(), 0) << "cancelled messages are destroyed, not leaked";
    delete survivor;
}

TEST_F(MainLoopTest, HandlerMayDeleteItsOwnPoster)
{
    struct SelfDeleting : MessagePoster {
        explicit SelfDeleting(MessageLoop& l, int& n) : MessagePoster(nullptr, &l), handled(n) {}
        void handleMessage(Message* message) override
        {
            delete message;
            ++handled;
            delete this;
        }
        int& handled;
    };
    int handled = 0;
    auto* poster = new SelfDeleting(loop, handled);
    poster->postMessage(new CountedMessage(1));
    poster->postMessage(new CountedMessage(2));
    loop.pump();
    EXPECT_EQ(handled, 1) << "the second message was cancelled by the poster's own destruction";
    EXPECT_EQ(liveMessages.load(), 0);
}

TEST_F(MainLoopTest, PosterMayOutliveItsLoop)
{
    auto shortLived = std::make_unique<MessageLoop>(clock);
    RecordingPoster poster(*shortLived);
    poster.postMessage(new CountedMessage(1));
    poster.postMessage(new CountedMessage(2));
    shortLived.reset();
    EXPECT_EQ(liveMessages.load(), 0) << "queued messages die with the loop";
    EXPECT_EQ(poster.getNumPendingMessages(), 0) << "and the poster forgets them";
    poster.cancelPendingMessages();   // must touch none of them (run under ASan)
}

namespace {

// Runs `work` on another thread and waits for it, bounded so that a deadlock fails instead of hanging;
// the thread is joined by the caller once the handler has returned.
bool waitForThread(std::thread& thread, std::function<void()> work)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    thread = std::thread([work, done] {
        work();
        done->set_value();
    });
    return finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
}

} // namespace

TEST_F(MainLoopTest, AsyncHandlersHoldNoLock)
{
    RecordingPoster poster(loop);
    CountingCallback waiting;
    auto doomed = std::make_unique<CountingCallback>();
    std::unique_ptr<CountingCallback> fresh, fromThread;
    std::thread other;
    bool otherFinished = false;
    waiting.onUpdate = [&] {
        doomed.reset();   // pending, after this one in the list: never runs
        fresh = std::make_unique<CountingCallback>();
        fresh->triggerAsyncUpdate();
        {
            RecordingPoster shortLived(loop);
            shortLived.postMessage(new CountedMessage(9));
        }
        otherFinished = waitForThread(other, [&] {
            fromThread = std::make_unique<CountingCallback>();
            fromThread->triggerAsyncUpdate();
            poster.postMessage(new CountedMessage(1));
            RecordingPoster(loop).postMessage(new CountedMessage(2));
        });
    };
    waiting.triggerAsyncUpdate();
    doomed->triggerAsyncUpdate();
    loop.pump();
    other.join();
    EXPECT_TRUE(otherFinished) << "the thread the handler waited for was blocked";
    EXPECT_EQ(waiting.calls, 1);
    loop.pump();
    EXPECT_EQ(fresh->calls, 1);
    EXPECT_EQ(fromThread->calls, 1);
    EXPECT_EQ(poster.codes, std::vector<uint64_t>{1});
    EXPECT_EQ(liveMessages.load(), 0);
}

TEST_F(MainLoopTest, MessageHandlersHoldNoLock)
{
    struct WaitingPoster : MessagePoster {
        explicit WaitingPoster(MessageLoop& l) : MessagePoster(nullptr, &l) {}
        ~WaitingPoster() override { cancelPendingMessages(); }
        void handleMessage(Message* message) override
        {
            codes.push_back(message->getCode());
            delete message;
            if (onMessage)
                onMessage();
        }
        std::vector<uint64_t> codes;
        std::function<void()> onMessage;
    };
    WaitingPoster poster(loop);
    auto doomed = std::make_unique<RecordingPoster>(loop);
    std::unique_ptr<RecordingPoster> fresh;
    std::unique_ptr<CountingCallback> fromThread;
    std::thread other;
    bool otherFinished = false;
    poster.onMessage = [&] {
        if (fresh != nullptr)
            return;   // only the first message
        doomed.reset();   // its message, queued after this one, is dropped
        fresh = std::make_unique<RecordingPoster>(loop);
        fresh->postMessage(new CountedMessage(3));
        otherFinished = waitForThread(other, [&] {
            poster.postMessage(new CountedMessage(2));
            fromThread = std::make_unique<CountingCallback>();
            fromThread->triggerAsyncUpdate();
            RecordingPoster(loop).postMessage(new CountedMessage(4));
        });
    };
    poster.postMessage(new CountedMessage(1));
    doomed->postMessage(new CountedMessage(5));
    loop.pump();
    other.join();
    EXPECT_TRUE(otherFinished) << "the thread the handler waited for was blocked";
    loop.pump();
    EXPECT_EQ(poster.codes, (std::vector<uint64_t>{1, 2}));
    EXPECT_EQ(fresh->codes, std::vector<uint64_t>{3});
    EXPECT_EQ(fromThread->calls, 1);
    EXPECT_EQ(liveMessages.load(), 0);
}
