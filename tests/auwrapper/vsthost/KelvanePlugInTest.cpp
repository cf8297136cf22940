// The real plug-in, loaded from the built bundle's .so exactly as a host loads it.

#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tests/auwrapper/vsthost/RecordingHost.h"
#include "tests/auwrapper/vsthost/TestEffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

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

TEST_F(KelvanePlugIn, OpensLinksAndPassesTheHostsChecks)
{
    EXPECT_EQ(effect().uniqueID, 0x4B764C6E);
    EXPECT_EQ(effect().numParams, 7);
    EXPECT_EQ(effect().numPrograms, 1);
    EXPECT_EQ(effect().numInputs, 2);
    EXPECT_EQ(effect().numOutputs, 2);
    EXPECT_EQ(effect().flags, 0x231);
    EXPECT_EQ(effect().resvd1, reinterpret_cast<VstIntPtr>(plugIn.get()));
    // Names, version and parameter texts as a host lists them: tests/tools, `kelvane info`.
}

TEST_F(KelvanePlugIn, ParametersGoThroughTheEffectsOwnFunctions)
{
    plugIn->setParameter(3, 0.75f);
    EXPECT_EQ(plugIn->getParameter(3), 0.75f);
    EXPECT_EQ(plugIn->getParameterDisplay(3), "4.50 dB");
    plugIn->setParameter(0, 0.0f);
    EXPECT_EQ(plugIn->getParameterDisplay(0), "-100 %");
}

TEST_F(KelvanePlugIn, ResumingAsksForMidiAndTheEffectAcceptsIt)
{
    plugIn->dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(plugIn->wasMidiRequested());
    EXPECT_TRUE(plugIn->acceptsMidi());
    EXPECT_FALSE(plugIn->probeExtension()) << "this effect has no vendor extension";
}

TEST_F(KelvanePlugIn, TheStateChunkRestoresEveryParameter)
{
    const float values[7] = {0.9f, 0.2f, 0.0f, 0.6f, 0.1f, 0.9f, 0.3f};
    for (int i = 0; i < 7; ++i)
        plugIn->setParameter(i, values[i]);
    void* data = nullptr;
    const int32_t size = plugIn->getChunk(false, &data);
    ASSERT_GT(size, 0);
    ASSERT_NE(data, nullptr);
    const std::vector<char> saved(static_cast<const char*>(data), static_cast<const char*>(data) + size);

    for (int i = 0; i < 7; ++i)
        plugIn->setParameter(i, 0.5f);
    std::vector<char> copy = saved;
    plugIn->setChunk(false, size, copy.data());
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plugIn->getParameter(i), values[i]);
    }
}

TEST_F(KelvanePlugIn, MoreAttackRaisesTheHitOverItsSustain)
{
    // A hit: a sharp 8 ms burst, then a quieter sustained tone. More attack makes the burst louder
    // relative to the tail, which is what the effect is for.
    plugIn->setParameter(0, 1.0f);
    plugIn->setParameter(1, 0.0f);
    plugIn->dispatch(effMainsChanged, 0, 1);
    const int blockSize = 512, numBlocks = 8;
    std::vector<float> in(blockSize * numBlocks), outLeft(in.size()), outRight(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const float t = static_cast<float>(i) / 44100.0f;
        const float amplitude = i >= 1024 ? (i < 1024 + 353 ? 0.8f : 0.2f) : 0.0f;
        in[i] = amplitude * std::sin(2.0f * 3.14159265f * 220.0f * t);
    }
    for (int b = 0; b < numBlocks; ++b) {
        float* inputs[] = {in.data() + b * blockSize, in.data() + b * blockSize};
        float* outputs[] = {outLeft.data() + b * blockSize, outRight.data() + b * blockSize};
        plugIn->processReplacing(inputs, outputs, blockSize);
    }
    auto peak = [](const std::vector<float>& x, size_t from, size_t to) {
        float p = 0.0f;
        for (size_t i = from; i < to; ++i)
            p = std::max(p, std::fabs(x[i]));
        return p;
    };
    const float hitRatioIn = peak(in, 1024, 1377) / peak(in, 3000, 4096);
    const float hitRatioOut = peak(outLeft, 1024, 1377) / peak(outLeft, 3000, 4096);
    EXPECT_GT(hitRatioOut, hitRatioIn * 1.2f);
    EXPECT_EQ(outLeft, outRight) << "identical inputs give identical outputs";
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
