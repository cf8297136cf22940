#pragma once
#include <cstddef>

/** Counts calls to the global operator new in a test executable that links this library, so tests can
    prove that a code path allocates nothing:
        AllocationCounter counter;  run();  EXPECT_EQ(counter.count(), 0u);
    Counting is per thread, so a second thread's allocations do not disturb a measurement. */
class AllocationCounter {
public:
    AllocationCounter();
    size_t count() const;

private:
    size_t start;
};
