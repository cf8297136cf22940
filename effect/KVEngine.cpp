#include "effect/KVEngine.h"

#include <cmath>

namespace {

// Adding and removing 1e-18 rounds an envelope to a multiple of about 1e-25 once it falls below 2^-35:
// a decaying tail is flushed to zero or settles on a tiny fixed point, and never reaches the denormal
// range, so silence costs no denormal arithmetic. Bit patterns 0x219392EF and 0xA19392EF.
constexpr float guardUp = 1e-18f;
constexpr float guardDown = -1e-18f;

inline float guard(float v) noexcept { return (v + guardUp) + guardDown; }

// fabs compiles to a sign-bit mask: no library call on the audio path.
inline float magnitude(float x) noexcept { return std::fabs(x); }

// 0.96000004 is one unit in the last place above the float nearest 0.96 (bit pattern 0x3F75C290): the
// slope the attack curve has always had, so its bits are kept (the curve reaches its 6.6 ceiling near
// r = 10).
constexpr float attackSlope = 0.96000004f;
static_assert(attackSlope > 0.96f, "must stay one ulp above 0.96f");

inline float softClip(float y) noexcept
{
    // Rational approximation of tanh scaled to reach +-1 at +-3 with zero slope, so it joins the
    // hard limits without a kink. The polynomial gives exactly +-1 at +-3 in single precision, so
    // clamping the argument is the same as switching to the limits.
    y = y < -3.0f ? -3.0f : y;
    y = y > 3.0f ? 3.0f : y;
    return (y * y + 27.0f) * y / (y * 9.0f * y + 27.0f);
}

} // namespace

KVEngine::KVEngine() noexcept { setSampleRate(44100.0f); }

void KVEngine::setSampleRate(float rateHz) noexcept
{
    // NaN and infinity would turn every time constant into garbage.
    if (!(rateHz > 0.0f) || !std::isfinite(rateHz))
        return;
    sampleRate = rateHz;
    computeCoefficients();
}

void KVEngine::computeCoefficients() noexcept
{
    const double fs = static_cast<double>(sampleRate);
    const double attackFactor = static_cast<double>(attackTimeFactor);
    const double releaseFactor = static_cast<double>(releaseTimeFactor);
    // Each coefficient is rounded to f32 before the one-minus step, which is done in single precision.
    cFast = static_cast<float>(std::pow(0.1, 1.0 / (0.2 * fs)));
    cAttack = 1.0f - static_cast<float>(std::pow(0.1, 1.0 / ((attackFactor * 0.01) * fs)));
    cReleaseMin = 1.0f - static_cast<float>(std::pow(0.1, 1.0 / ((0.02 * releaseFactor) * fs)));
    cReleaseSpan = 1.0f - cReleaseMin;
    cReleasePeak = static_cast<float>(std::pow(0.1, 1.0 / ((releaseFactor * 0.1) * fs)));
    cHold = static_cast<float>(std::pow(0.1, 1.0 / (fs * 4.0)));
}

void KVEngine::setAttack(float normalised) noexcept
{
    const float x = (normalised - 0.5f) + (normalised - 0.5f);
    attackTarget = x >= 0.0f ? x * 0.4f : x * 0.6f;
}

void KVEngine::setRelease(float normalised) noexcept
{
    const float x = (normalised - 0.5f) + (normalised - 0.5f);
    releaseTarget = x >= 0.0f ? 0.6f * x : x;
}

void KVEngine::setBypass(bool shouldBypass) noexcept { bypassed = shouldBypass; }

void KVEngine::setGain(float normalised) noexcept
{
    const float decibels = ((normalised - 0.5f) + (normalised - 0.5f)) * 9.0f;
    gainTarget = static_cast<float>(std::pow(10.0, static_cast<double>(decibels) / 20.0));
}

void KVEngine::setAttackTime(float factor) noexcept
{
    attackTimeFactor = factor;
    computeCoefficients();
}

void KVEngine::setReleaseTime(float factor) noexcept
{
    releaseTimeFactor = factor;
    computeCoefficients();
}

void KVEngine::setDrive(float normalised) noexcept
{
    driveTarget = normalised < 0.1f ? normalised * 10.0f * 0.9f + 0.1f
                                    : std::pow(15.0f, (normalised - 0.1f) * 1.111111f);
}

float KVEngine::takeSaturationPeak() noexcept
{
    const float peak = saturationPeak;
    saturationPeak = 0.0f;
    return peak;
}

void KVEngine::processMono(const float* in, float* out, int32_t n) noexcept
{
    processBlock<1>(in, nullptr, out, nullptr, n);
}

void KVEngine::processStereo(const float* inL, const float* inR, float* outL, float* outR, int32_t n) noexcept
{
    processBlock<2>(inL, inR, outL, outR, n);
}

namespace {

// At or above this level the denormal guard cannot change an envelope: one unit in the last place of
// 2^-30 is 2^-53, far above twice the guard's 1e-18, so adding and removing it rounds back to the same
// value. (The guard starts to bite below 2^-35.)
constexpr float guardFreeLevel = 1.0f / 1073741824.0f; // 2^-30

// A lower bound for an envelope that starts at `start` and falls by at most `coefficient` per frame for
// n frames: start x coefficient^n, with c^n by repeated squaring (no library call on the audio path),
// halved to absorb the rounding of both that product and the n steps of the envelope. Rises only
// raise it.
inline float lowestAfter(float start, float coefficient, int32_t n) noexcept
{
    float fall = 1.0f;
    for (float power = coefficient; n > 0; n >>= 1, power *= power)
        if ((n & 1) != 0)
            fall *= power;
    return start * fall * 0.5f;
}

// The smaller of the two, or NaN when either is NaN, so a broken envelope sends the block down the
// guarded path.
inline float lesser(float a, float b) noexcept { return b < a || b != b ? b : a; }

} // namespace

template <int numChannels>
void KVEngine::processBlock(const float* inL, const float* inR, float* outL, float* outR, int32_t n) noexcept
{
    if (n < 1)
        return;

    if (bypassed) {
        for (int32_t i = 0; i < n; ++i) {
            const float l = inL[i];
            if constexpr (numChannels == 2) {
                const float r = inR[i];
                outR[i] = r;
            }
            outL[i] = l;
        }
        return;
    }

    // When no envelope can come near the guard's range during this block, the guard is an identity and
    // S > 0, P > 0 hold throughout: the loop runs without them. Q follows P from above or below, so it
    // stays above the lower of its start and P's bound.
    const float lowestPeak = lowestAfter(releasePeak, cReleasePeak, n);
    float lowest = lowestAfter(fastEnv, cFast, n);
    lowest = lesser(lowest, lowestAfter(slowEnv, cFast, n));
    lowest = lesser(lowest, lowestAfter(holdEnv, cHold, n));
    lowest = lesser(lowest, lowestPeak);
    lowest = lesser(lowest, lesser(releaseEnv, lowestPeak) * 0.5f);
    if (lowest >= guardFreeLevel)
        runFrames<numChannels, false>(inL, inR, outL, outR, n);
    else
        runFrames<numChannels, true>(inL, inR, outL, outR, n);
}

template <int numChannels, bool guarded>
void KVEngine::runFrames(const float* inL, const float* inR, float* outL, float* outR, int32_t n) noexcept
{
    // The block works on locals: the compiler can keep them in registers, which it cannot do with
    // members that the output stores might alias.
    const float k = 1.0f / static_cast<float>(n);
    const float dGain = (gainTarget - gain) * k;
    const float dAttack = (attackTarget - attack) * k;
    const float dRelease = (releaseTarget - release) * k;
    const float dDrive = (driveTarget - drive) * k;

    float g0 = gain, at = attack, rel = release, drv = drive;
    float env_f = fastEnv, env_s = slowEnv, env_p = releasePeak, env_q = releaseEnv, env_h = holdEnv;
    float peak = saturationPeak;
    const float c_fast = cFast, c_attack = cAttack, c_rmin = cReleaseMin, c_rspan = cReleaseSpan;
    const float c_rpeak = cReleasePeak, c_hold = cHold;

    const auto settle = [](float v) noexcept { return guarded ? guard(v) : v; };

    for (int32_t i = 0; i < n; ++i) {
        const float xl = inL[i];
        float xr = 0.0f;
        float a;
        if constexpr (numChannels == 2) {
            xr = inR[i];
            a = (magnitude(xl) + magnitude(xr)) * 0.5f;
        } else {
            a = magnitude(xl);
        }

        env_f = settle(a > env_f ? a : env_f * c_fast);
        env_s = settle(a > env_s ? env_s + (a - env_s) * c_attack : env_s * c_fast);

        float ga = 1.0f;
        if (!guarded || env_s > 0.0f) {
            const float r = env_f / env_s;
            if (r >= 1.0f) {
                const float poly = r > 10.0f ? 6.6f : r * attackSlope + ((r * -0.003f) * r) * r;
                ga = at >= 0.0f ? poly : r;
            }
        }

        env_h = a >= env_h ? a : settle(env_h * c_hold);
        env_p = a >= env_p ? a : settle(env_p * c_rpeak);

        float w = 1.0f;
        if ((!guarded || env_p > 0.0f) && rel >= 0.0f) {
            const float t = env_p + 0.0001f;
            w = (t - env_q) / t;
        }
        w = w * 3.0f;
        w = w > 1.0f ? 1.0f : (w < 0.0f ? 0.0f : w);
        env_q = settle(env_q + (env_p - env_q) * (w * c_rspan + c_rmin));

        float gr = 1.0f;
        if (env_q > 1e-6f) {
            const float q = env_h / env_q;
            if (q >= 1.0f) {
                const float poly = q > 20.0f ? 12.0f : q * 0.84f + q * q * q * -0.0006f;
                gr = rel >= 0.0f ? poly : q;
            }
        }

        const float gsum = rel * (gr - 1.0f) + (ga - 1.0f) * at;
        const float gf = gsum >= 0.0f ? gsum + 1.0f : 1.0f / (1.0f - gsum);

        // The peak is clamped to 1 once after the loop: min(max(p, a, b, ...), 1) is the same value as
        // clamping after every sample.
        const float sl = softClip(xl * gf * drv);
        peak = magnitude(sl) > peak ? magnitude(sl) : peak;
        outL[i] = sl / drv * g0;
        if constexpr (numChannels == 2) {
            const float sr = softClip(xr * gf * drv);
            peak = magnitude(sr) > peak ? magnitude(sr) : peak;
            outR[i] = sr / drv * g0;
        }

        g0 += dGain;
        at += dAttack;
        rel += dRelease;
        drv += dDrive;
    }

    // The amounts keep what the additions left, rounding residue included: the next block's increments
    // start from there, so the ramps close in on their targets over the following blocks.
    gain = g0;
    attack = at;
    release = rel;
    drive = drv;
    fastEnv = env_f;
    slowEnv = env_s;
    releasePeak = env_p;
    releaseEnv = env_q;
    holdEnv = env_h;
    saturationPeak = peak > 1.0f ? 1.0f : peak;
}

float MeterState::measure(const float* left, const float* right, int32_t n) noexcept
{
    float v = level;
    for (int32_t i = 0; i < n; ++i) {
        const float l = magnitude(left[i]);
        v = l > v ? l : v;
        if (right != nullptr) {
            const float r = magnitude(right[i]);
            v = r > v ? r : v;
        }
        v -= fall;
    }
    v = v < 0.0f ? 0.0f : (v > 1.5f ? 1.5f : v);
    level = v;
    return v;
}
