#include "framework/core/DeletedAtShutdown.h"
#include "framework/core/FrameworkInitialiser.h"
#include "framework/core/ReferenceCountedObject.h"
#include "framework/core/Thread.h"
#include "framework/core/Time.h"
#include "framework/core/String.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace q9framework;

namespace {

struct Counted : ReferenceCountedObject {
    explicit Counted(int& d, bool atomicCount = false) : ReferenceCountedObject(atomicCount), deaths(d) {}
    ~Counted() override { ++deaths; }
    int& deaths;
};

std::vector<int> shutdownOrder;

struct Ordered : DeletedAtShutdown {
    explicit Ordered(int i) : id(i) {}
    ~Ordered() override
    {
        shutdownOrder.push_back(id);
        if (id == 2)
            new Ordered(9);   // made during shutdown: destroyed by the same call
    }
    int id;
};

} // namespace

TEST(DeletedAtShutdown, DeleteAllDestroysNewestFirst)
{
    shutdownOrder.clear();
    const int before = DeletedAtShutdown::getNumInstances();
    new Ordered(1);
    new Ordered(2);
    auto* early = new Ordered(3);
    delete early;   // leaves the list by itself
    EXPECT_EQ(DeletedAtShutdown::getNumInstances(), before + 2);
    DeletedAtShutdown::deleteAll();
    EXPECT_EQ(shutdownOrder, (std::vector<int>{3, 2, 9, 1}));
    EXPECT_EQ(DeletedAtShutdown::getNumInstances(), 0);
}

namespace {
std::vector<std::string> serviceSteps;
struct StepRecorder : DeletedAtShutdown {
    ~StepRecorder() override { serviceSteps.push_back("shutdown object"); }
};
} // namespace

TEST(FrameworkInitialiser, RunsTheLayersHooksAroundTheShutdownObjects)
{
    FrameworkInitialiser::Services hooks;
    hooks.start = [] { serviceSteps.push_back("start"); };
    hooks.stopEarly = [] { serviceSteps.push_back("stop early"); };
    hooks.stop = [] { serviceSteps.push_back("stop"); };
    FrameworkInitialiser::installServices(hooks);
    EXPECT_FALSE(FrameworkInitialiser::isRunning());
    {
        FrameworkInitialiser services;
        EXPECT_TRUE(FrameworkInitialiser::isRunning());
        new StepRecorder();
        (void) getMillisecondCounterHiRes();   // its time base is a shutdown object too
        EXPECT_GE(DeletedAtShutdown::getNumInstances(), 2);
    }
    FrameworkInitialiser::installServices({});
    EXPECT_FALSE(FrameworkInitialiser::isRunning());
    EXPECT_EQ(DeletedAtShutdown::getNumInstances(), 0);
    EXPECT_EQ(serviceSteps, (std::vector<std::string>{"start", "stop early", "shutdown object", "stop"}));
    EXPECT_GT(getMillisecondCounterHiRes(), 0.0) << "the counter makes its time base again on use";
    DeletedAtShutdown::deleteAll();
}
