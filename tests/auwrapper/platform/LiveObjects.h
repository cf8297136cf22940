#pragma once

// A test fixture that fails when a test leaves CF values alive (a missed release) or frees more than
// it made (a release too many shows up as a count below the start).

#include "auwrapper/platform/CFValues.h"

#include <gtest/gtest.h>

class LiveObjectsCheckedTest : public ::testing::Test {
protected:
    long liveAtStart = q9framework::cf::liveObjectCount();
    void TearDown() override
    {
        EXPECT_EQ(q9framework::cf::liveObjectCount(), liveAtStart) << "objects leaked or freed twice";
    }
};
