#include "effect/KVEngine.h"
#include "tests/effect/EngineTestPeer.h"

#include "tests/effect/DrumLoop.h"
#include "tests/effect/ReferenceShaper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Index of the first sample whose bits differ, or -1.
int firstDifference(const float* a, const float* b, int n)
{
    for (int i = 0; i < n; ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0)
            return i;
    return -1;
}

float sat(float y) { return ReferenceShaper::sat(y); }

// An engine and a reference shaper holding the same targets.
struct Pair {
    KVEngine engine;
    ReferenceShaper ref;

    Pair(float attack, float release, float gain, float drive, float attackTime = 1, float releaseTime = 1)
        : ref(44100.0, attackTime, releaseTime)
    {
        engine.setAttackTime(attackTime);
        engine.setReleaseTime(releaseTime);
        set(attack, release, gain, drive);
    }
    void set(float attack, float release, float gain, float drive)
    {
        engine.setAttack(attack);
        engine.setRelease(release);
        engine.setGain(gain);
        engine.setDrive(drive);
        ref.attackTarget = peek(engine).getAttackTarget();
        ref.releaseTarget = peek(engine).getReleaseTarget();
        ref.gainTarget = peek(engine).getGainTarget();
        ref.driveTarget = peek(engine).getDriveTarget();
    }
};

} // namespace

TEST(KVEngine, SettersMapNormalisedValues)
{
    KVEngine e;
    const struct { float v, attack, release; } amounts[] = {
        {0.0f, -0.6f, -1.0f}, {0.75f, 0.2f, 0.3f}};
    for (const auto& c : amounts) {
        SCOPED_TRACE(c.v);
        e.setAttack(c.v);
        e.setRelease(c.v);
        EXPECT_FLOAT_EQ(peek(e).getAttackTarget(), c.attack);
        EXPECT_FLOAT_EQ(peek(e).getReleaseTarget(), c.release);
    }
    const struct { float v, gain, drive; } levels[] = {
        {0.5f, 1.0f, static_cast<float>(std::pow(15.0, 0.4 * 1.111111))},
        {1.0f, static_cast<float>(std::pow(10.0, 9.0 / 20.0)), 15.0f},
        {0.05f, static_cast<float>(std::pow(10.0, -8.1 / 20.0)), 0.55f}};
    for (const auto& c : levels) {
        SCOPED_TRACE(c.v);
        e.setGain(c.v);
        e.setDrive(c.v);
        EXPECT_NEAR(peek(e).getGainTarget(), c.gain, 1e-6f);
        EXPECT_NEAR(peek(e).getDriveTarget(), c.drive, 2e-6f * c.drive);
    }
    e.setGain(0.5f);
    EXPECT_EQ(peek(e).getGainTarget(), 1.0f) << "exactly unity";
    e.setDrive(0.1f);
    EXPECT_EQ(peek(e).getDriveTarget(), 1.0f) << "0.1 takes the power branch: exactly 1";
}

TEST(KVEngine, CoefficientsFollowRateAndTimeFactors)
{
    KVEngine e;
    const struct { float rate, attack, release; } cases[] = {{44100, 1, 1}, {48000, 0.5f, 2}, {96000, 2, 0.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        e.setSampleRate(c.rate);
        e.setAttackTime(c.attack);
        e.setReleaseTime(c.release);
        const ReferenceShaper ref(c.rate, c.attack, c.release);
        const auto k = peek(e).getCoefficients();
        const float expected[6] = {ref.cFast, ref.cAttack, ref.cReleaseMin, ref.cReleaseSpan, ref.cReleasePeak, ref.cHold};
        EXPECT_EQ(firstDifference(&k.fast, expected, 6), -1);
        // The fall of F reaches -20 dB after 0.2 s whatever the rate.
        EXPECT_NEAR(std::pow(static_cast<double>(k.fast), 0.2 * c.rate), 0.1, 1e-4);
    }
    for (const float bad : {0.0f, NAN})
        e.setSampleRate(bad);
    EXPECT_EQ(peek(e).getSampleRate(), 96000.0f) << "non-positive and non-finite rates are ignored";
}

TEST(KVEngine, MatchesTheRecipeBitForBit)
{
    // Drums under four settings, with a parameter change mid-stream, through every block size; then a
    // signal fading from -60 dB to far below the denormal guard's 1e-18, where the engine switches
    // between its guarded and unguarded loops.
    const DrumLoop drums(44100);
    std::vector<float> fadeL(44100 * 4, 0.0f), fadeR(fadeL.size(), 0.0f);
    float level = 1e-3f;
    for (size_t i = 0; i < fadeL.size() / 2; ++i, level *= 0.9996f) {
        fadeL[i] = level * drums.left[i % drums.left.size()];
        fadeR[i] = -level * drums.right[i % drums.right.size()];
    }
    const struct { float attack, release, gain, drive, attackTime, releaseTime; bool fade; } settings[] = {
        {1.0f, 0.0f, 0.7f, 0.6f, 1.0f, 1.0f, false}, {0.0f, 1.0f, 0.3f, 0.0f, 0.5f, 2.0f, false},
        {0.8f, 0.9f, 0.5f, 1.0f, 2.0f, 0.5f, false}, {0.7f, 0.8f, 0.5f, 0.3f, 0.5f, 0.5f, true}};
    for (const auto& s : settings)
        for (const int block : {1, 2, 3, 31, 32, 33, 64, 65, 999, 4096})
            for (const int channels : {1, 2}) {
                SCOPED_TRACE(::testing::Message() << "attack " << s.attack << ", block " << block << ", channels " << channels);
                Pair p(s.attack, s.release, s.gain, s.drive, s.attackTime, s.releaseTime);
                const int frames = s.fade ? static_cast<int>(fadeL.size()) : 12000;
                std::vector<float> l(frames), r(frames), el(frames), er(frames);
                std::copy_n(s.fade ? fadeL.begin() : drums.left.begin(), frames, l.begin());
                std::copy_n(s.fade ? fadeR.begin() : drums.right.begin(), frames, r.begin());
                for (int pos = 0; pos < frames; pos += block) {
                    const int n = std::min(block, frames - pos);
                    if (pos == 6000 / block * block)
                        p.set(1.0f - s.attack, 1.0f - s.release, 1.0f - s.gain, s.drive * 0.5f);
                    p.ref.block(&l[pos], channels == 2 ? &r[pos] : nullptr, &el[pos], &er[pos], n);
                    if (channels == 2)
                        p.engine.processStereo(&l[pos], &r[pos], &l[pos], &r[pos], n); // in place
                    else
                        p.engine.processMono(&l[pos], &l[pos], n);
                }
                EXPECT_EQ(firstDifference(l.data(), el.data(), frames), -1);
                if (channels == 2) {
                    EXPECT_EQ(firstDifference(r.data(), er.data(), frames), -1);
                }
                const auto env = peek(p.engine).getEnvelopes();
                const float expected[5] = {p.ref.F, p.ref.S, p.ref.P, p.ref.Q, p.ref.H};
                EXPECT_EQ(firstDifference(&env.fast, expected, 5), -1);
                EXPECT_EQ(p.engine.takeSaturationPeak(), p.ref.peak);
            }
}

TEST(KVEngine, NonFiniteInputFollowsTheRecipe)
{
    // An infinite sample leaves the followers infinite (their ratios NaN, counted as below 1); a NaN
    // sample passes through as NaN. Either way the engine keeps to the recipe.
    for (const float bad : {INFINITY, -INFINITY, NAN, 3e38f}) {
        SCOPED_TRACE(bad);
        Pair p(0.3f, 0.2f, 0.5f, 0.15f);
        std::vector<float> x(512), expected(512);
        for (size_t i = 0; i < 512; ++i)
            x[i] = i == 300 ? bad : 0.3f * std::sin(0.1f * i) + 0.31f;
        p.ref.block(x.data(), nullptr, expected.data(), nullptr, 256);
        p.ref.block(&x[256], nullptr, &expected[256], nullptr, 256);
        p.engine.processMono(x.data(), x.data(), 256);
        p.engine.processMono(&x[256], &x[256], 256);
        EXPECT_EQ(firstDifference(x.data(), expected.data(), 512), -1);
    }
}

TEST(KVEngine, RampsCarryTheirRoundingIntoTheNextBlock)
{
    // Amounts 0 (G = 1), drive 0.01 -> 1 and gain 1 -> +3.6 dB over three frames. The three gain
    // increments fall short of the target by a rounding residue; the next block starts from there.
    Pair p(0.5f, 0.5f, 0.7f, 0.1f);
    const float target = peek(p.engine).getGainTarget();
    float x[3] = {0.5f, 0.5f, 0.5f};
    p.engine.processMono(x, x, 3);
    const float d1 = (target - 1.0f) * (1.0f / 3.0f);
    const float afterFirst = ((1.0f + d1) + d1) + d1;
    ASSERT_NE(afterFirst, target) << "these increments must not add up to the target exactly";
    EXPECT_EQ(peek(p.engine).getGain(), afterFirst);
    ASSERT_EQ(peek(p.engine).getDrive(), 1.0f);

    float y[3] = {0.5f, 0.5f, 0.5f};
    p.engine.processMono(y, y, 3);
    EXPECT_EQ(y[0], sat(0.5f) * afterFirst) << "the second block's first frame uses the value left in use";
    const float d2 = (target - afterFirst) * (1.0f / 3.0f);
    EXPECT_EQ(peek(p.engine).getGain(), ((afterFirst + d2) + d2) + d2);
}

TEST(KVEngine, BypassIsBitIdenticalAndFreezesState)
{
    Pair p(1.0f, 0.0f, 0.9f, 0.8f);
    const DrumLoop drums(3000);
    std::vector<float> l(drums.left);
    p.engine.processMono(l.data(), l.data(), 1000);
    const auto before = peek(p.engine).getEnvelopes();
    p.engine.takeSaturationPeak();
    p.engine.setBypass(true);
    p.engine.setGain(0.0f);
    std::vector<float> in(drums.right), out(in.size(), 9.0f);
    in[7] = std::nanf("");
    in[8] = -0.0f;
    p.engine.processStereo(in.data(), in.data(), out.data(), out.data(), 3000);
    EXPECT_EQ(firstDifference(out.data(), in.data(), 3000), -1);
    std::fill(out.begin(), out.end(), 9.0f);
    p.engine.processMono(in.data(), out.data(), 3000);
    EXPECT_EQ(firstDifference(out.data(), in.data(), 3000), -1);
    const auto after = peek(p.engine).getEnvelopes();
    EXPECT_EQ(firstDifference(&after.fast, &before.fast, 5), -1);
    EXPECT_EQ(p.engine.takeSaturationPeak(), 0.0f);
    EXPECT_NE(peek(p.engine).getGain(), peek(p.engine).getGainTarget()) << "the ramp waits for the next live block";
}

TEST(KVEngine, SilenceStaysZeroAndDecaysWithoutDenormals)
{
    Pair p(1.0f, 1.0f, 0.5f, 0.5f);
    std::vector<float> silence(4096, 0.0f), out(4096, 1.0f);
    p.engine.processMono(silence.data(), out.data(), 4096);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0.0f), 4096);

    const DrumLoop drums(4096);
    std::vector<float> loud(drums.left);
    p.engine.processMono(loud.data(), loud.data(), 4096);
    // Ten minutes: far longer than the slowest (4 s) follower needs to reach the guard's range.
    for (int block = 0; block < 44100 * 600 / 4096; ++block) {
        p.engine.processMono(silence.data(), out.data(), 4096);
        const auto env = peek(p.engine).getEnvelopes();
        for (float v : {out[0], out[4095], env.fast, env.slow, env.releasePeak, env.release, env.hold})
            ASSERT_TRUE(std::isfinite(v) && std::fpclassify(v) != FP_SUBNORMAL) << "block " << block;
    }
    // The guard quantises the tails to steps of about 1e-25: the slowest followers settle on a tiny
    // fixed point (the hold envelope near 4e-21) instead of creeping through the denormal range.
    const auto env = peek(p.engine).getEnvelopes();
    for (float v : {env.fast, env.slow, env.releasePeak, env.release, env.hold})
        EXPECT_LT(v, 1e-20f);
}
