#include "framework/core/AsyncCallback.h"
#include "framework/core/Message.h"
#include "framework/core/MessageLoop.h"

#include <gtest/gtest.h>

#include <atomic>
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

TEST_F(MainLoopTest, DestroyedCallbackNeverRunsItsTrigger)
{
    auto callback = std::make_unique<CountingCallback>();
    callback->triggerAsyncUpdate();
    callback.reset();
    EXPECT_EQ(loop.pump(), 0);
}

TEST_F(MainLoopTest, TriggersFromAnotherThreadArrive)
{
    CountingCallback callback;
    std::thread other([&] {
        for (int i = 0; i < 1000; ++i)
            callback.triggerAsyncUpdate(false);
    });
    other.join();
    loop.pump();
    EXPECT_EQ(callback.calls, 1000);
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

TEST_F(MainLoopTest, CancelledMessagesAreDestroyedUndelivered)
{
    RecordingPoster poster(loop);
    auto* m = new CountedMessage(7);
    poster.postMessage(m);
    EXPECT_EQ(m->getPoster(), &poster);
    poster.cancelPendingMessages();
    EXPECT_EQ(m->getPoster(), nullptr);
    poster.postMessage(new CountedMessage(8));
    loop.pump();
    EXPECT_EQ(poster.codes, std::vector<uint64_t>{8});
    EXPECT_EQ(liveMessages.load(), 0);
    poster.postMessage(nullptr);
    EXPECT_EQ(poster.getNumPendingMessages(), 0);
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

TEST_F(MainLoopTest, MessagesLeftWhenTheLoopGoesAreDestroyed)
{
    {
        MessageLoop shortLived(clock);
        RecordingPoster poster(shortLived);
        poster.postMessage(new CountedMessage(1));
    }
    EXPECT_EQ(liveMessages.load(), 0);
}
