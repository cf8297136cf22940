#include "framework/core/MessageLoop.h"
#include "framework/core/Timer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace q9framework;

namespace {

struct RecordingTimer : Timer {
    RecordingTimer(MessageLoop& target, std::vector<std::string>& log, std::string timerName)
        : Timer(target), record(log), name(std::move(timerName)) {}
    void timerCallback() override
    {
        record.push_back(name);
        if (onFire)
            onFire();
    }
    std::vector<std::string>& record;
    std::string name;
    std::function<void()> onFire;
};

struct LoopTest : ::testing::Test {
    ManualClock clock{1000.0};
    MessageLoop loop{clock};
    std::vector<std::string> log;
};

} // namespace

TEST_F(LoopTest, PostsRunInOrderAndWorkPostedDuringAPumpWaits)
{
    loop.post([&] { log.push_back("a"); });
    loop.post([&] {
        log.push_back("b");
        loop.post([&] { log.push_back("posted by b"); });
    });
    loop.post([&] { log.push_back("c"); });
    EXPECT_EQ(loop.pump(), 3);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(loop.pump(), 1);
    EXPECT_EQ(log.back(), "posted by b");
    EXPECT_EQ(loop.pump(), 0);
}

TEST_F(LoopTest, TimerFiresOncePerDuePumpAndSkipsMissedPeriods)
{
    RecordingTimer t(loop, log, "t");
    t.startTimer(16);
    t.startTimer(16);   // a restart, not a second schedule
    const struct { double at; size_t fired; const char* what; } steps[] = {
        {1016, 1, "due after one interval"},
        {1016, 1, "a second pump at the same time runs nothing"},
        {1032, 2, "on time keeps the phase"},
        {1100, 3, "late by several periods: once"},
        {1115, 3, "next due a full interval after the late run"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        clock.set(s.at);
        loop.pump();
        EXPECT_EQ(log.size(), s.fired);
    }
    EXPECT_EQ(t.getTimerInterval(), 16u);
    t.stopTimer();
    clock.advance(1000);
    loop.pump();
    EXPECT_EQ(log.size(), 3u);
    EXPECT_FALSE(t.isTimerRunning());
    EXPECT_EQ(t.getTimerInterval(), 16u) << "kept after stopping";
}

TEST_F(LoopTest, DueTimersRunEarliestFirstAndMayStopOrDeleteEachOther)
{
    RecordingTimer slow(loop, log, "slow");
    auto fast = std::make_unique<RecordingTimer>(loop, log, "fast");
    RecordingTimer killer(loop, log, "killer");
    slow.startTimer(30);
    fast->startTimer(20);
    killer.startTimer(20);   // due with fast, started after it
    clock.advance(40);
    loop.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"fast", "killer", "slow"}));
}

TEST_F(LoopTest, PostedWorkRunsBeforeTimersOfTheSamePump)
{
    RecordingTimer t(loop, log, "timer");
    t.startTimer(5);
    clock.advance(5);
    loop.post([&] { log.push_back("post"); });
    loop.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"post", "timer"}));
    EXPECT_EQ(loop.getMillisecondsToNextTimer(), 5.0);
}

TEST_F(LoopTest, DescriptorHandlersRunWhenReadable)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    loop.addDescriptor(fds[0], [&] {
        char c;
        ASSERT_EQ(read(fds[0], &c, 1), 1);
        log.push_back(std::string(1, c));
    });
    EXPECT_EQ(loop.pump(), 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    loop.post([&] { log.push_back("post"); });
    loop.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"post", "x"}));
    loop.removeDescriptor(fds[0]);
    ASSERT_EQ(write(fds[1], "y", 1), 1);
    EXPECT_EQ(loop.pump(), 0);

    int everyPumpCalls = 0;
    loop.addDescriptor(fds[0], [&] { ++everyPumpCalls; }, true);
    loop.pump();
    loop.pump();
    EXPECT_EQ(everyPumpCalls, 2) << "Xlib's own queue is looked at on every pump";
    close(fds[0]);
    close(fds[1]);
}

TEST(MessageLoopRun, RunsOnItsThreadUntilQuitFromAnother)
{
    MessageLoop loop(SystemClock::getInstance());
    std::thread::id ranOn;
    std::atomic<bool> posted{false};
    std::atomic<int> timerRuns{0};
    struct Counting : Timer {
        Counting(MessageLoop& l, std::atomic<int>& n) : Timer(l), count(n) {}
        void timerCallback() override { ++count; }
        std::atomic<int>& count;
    } timer(loop, timerRuns);

    std::thread runner([&] {
        timer.startTimer(2);
        loop.run();
        timer.stopTimer();
    });
    // Posted from here: the run loop wakes through its descriptor, not by timing out.
    loop.post([&] {
        ranOn = std::this_thread::get_id();
        posted.store(true);
    });
    while (!posted.load())
        std::this_thread::yield();
    EXPECT_EQ(ranOn, runner.get_id());
    // run() sleeps until the timer is due and runs it; generous, because the machine may be busy.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (timerRuns.load() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    loop.quit();
    runner.join();
    EXPECT_GE(timerRuns.load(), 3);
    EXPECT_FALSE(loop.isLoopThread());
}
