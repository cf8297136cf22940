// The real plug-in, loaded from the built bundle's .so exactly as a host loads it.

#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tests/auwrapper/vsthost/RecordingHost.h"
#include "tests/auwrapper/vsthost/TestEffects.h"

#include <gtest/gtest.h>

#include <memory>

using q9framework::VSTPlugIn;

namespace {

class KelvanePlugIn : public ::testing::Test {
protected:
    RecordingHost host;
    std::unique_ptr<VSTPlugIn> plugIn;

    void SetUp() override
    {
        plugIn = std::make_unique<VSTPlugIn>(host, bundleFor(kelvaneExecutable()), 512, 44100.0f);
        ASSERT_NO_THROW(plugIn->open()) << kelvaneExecutable();
        ASSERT_NO_THROW(plugIn->checkEffect());
    }
    AEffect& effect() { return *plugIn->getEffect(); }
};

} // namespace

// What the effect declares (ID, channels, flags, parameters) is listed by `kelvane info` (tests/tools);
// here the host's own path: linking, the MIDI request on resuming, the extension probe.
TEST_F(KelvanePlugIn, OpensLinksAndTakesMidiOnceResumed)
{
    EXPECT_EQ(effect().resvd1, reinterpret_cast<VstIntPtr>(plugIn.get()));
    plugIn->dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(plugIn->acceptsMidi());
    EXPECT_FALSE(plugIn->probeExtension()) << "this effect has no vendor extension";
}

TEST(KelvanePlugInInstances, TwoInstancesFromOneBundleRunSideBySide)
{
    RecordingHost host;
    auto first = std::make_unique<VSTPlugIn>(host, bundleFor(kelvaneExecutable()), 512, 44100.0f);
    auto second = std::make_unique<VSTPlugIn>(host, bundleFor(kelvaneExecutable()), 512, 48000.0f);
    first->open();
    second->open();
    EXPECT_NE(first->getEffect(), second->getEffect());
    first->setParameter(3, 1.0f);
    EXPECT_EQ(second->getParameterDisplay(3), "0.00 dB");
    first.reset();
    EXPECT_EQ(second->getParameterDisplay(3), "0.00 dB") << "closing one instance leaves the other working";
}
