#pragma once
#include <cstdint>

/** The transient shaper's signal processor.

    Five one-pole envelope followers measure the incoming level: F (instant attack, 0.2 s fall), S (rises
    in 10 ms x attack-time factor, 0.2 s fall), P (instant attack, falls in 100 ms x release-time factor),
    Q (an adaptive follower of P) and H (instant attack, 4 s fall). F/S says how far the signal rises
    above its slow envelope (the attack), H/Q how far a held peak lies above the smoothed release (the
    sustain). The Attack and Release amounts mix the two into one gain per frame; the result passes a
    drive stage (drive factor, rational soft clipper, inverse drive) and the output gain. Stereo is
    linked: one gain from the mean of both channels' magnitudes.

    Every amount set by a parameter is a target: each block computes one increment per amount,
    (target - value in use) x (1 / n), and adds it after every frame. The sum meets the target only up to
    rounding; the value the additions leave stays in use, and the next block ramps on from it. Results
    are bit-reproducible: single-precision arithmetic, the coefficient steps in double, no contraction
    into FMAs (the build forbids it).

    Ownership and threads: owned by the effect's plug-in, which calls the setters and the process
    functions under its processing lock. process* are real-time safe: no allocation, no library call,
    no lock. Setters compute the transcendental functions. Bad input: rates <= 0, NaN or infinite are
    ignored; blocks of fewer than one sample do nothing; parameter values are not clamped. */
class KVEngine {
public:
    KVEngine() noexcept;

    /** Ignored when rateHz <= 0, NaN or infinite; otherwise recomputes the six coefficients for it. */
    void setSampleRate(float rateHz) noexcept;
    /** Normalised 0..1 -> Attack amount -0.6..+0.4 (0.5 is 0). */
    void setAttack(float normalised) noexcept;
    /** Normalised 0..1 -> Release amount -1.0..+0.6 (0.5 is 0). */
    void setRelease(float normalised) noexcept;
    /** While bypassed, blocks are copied unchanged and all state is frozen. */
    void setBypass(bool shouldBypass) noexcept;
    /** Normalised 0..1 -> -9 dB..+9 dB linear output gain (0.5 is exactly 1). */
    void setGain(float normalised) noexcept;
    /** Scales the attack time: 0.5, 1 or 2. Recomputes the coefficients; envelopes keep their values. */
    void setAttackTime(float factor) noexcept;
    /** Scales both release times: 0.5, 1 or 2. */
    void setReleaseTime(float factor) noexcept;
    /** Normalised 0..1 -> drive factor 0.1..15 (0.1 gives exactly 1). */
    void setDrive(float normalised) noexcept;

    /** One block. out may be in (each frame is read before it is written). n < 1 does nothing. */
    void processMono(const float* in, float* out, int32_t n) noexcept;
    /** One block of two channels sharing one gain. outputs may be the inputs. n < 1 does nothing. */
    void processStereo(const float* inL, const float* inR, float* outL, float* outR, int32_t n) noexcept;

    /** Largest magnitude that left the clipper since the last call (0..1); resets it to 0. */
    float takeSaturationPeak() noexcept;

private:
    // The engine's inner state, read by its tests through KVEngineTestPeer (tests/effect).
    friend struct KVEngineTestPeer;
    bool isBypassed() const noexcept { return bypassed; }
    float getSampleRate() const noexcept { return sampleRate; }
    float getAttackTarget() const noexcept { return attackTarget; }
    float getReleaseTarget() const noexcept { return releaseTarget; }
    float getGainTarget() const noexcept { return gainTarget; }
    float getDriveTarget() const noexcept { return driveTarget; }
    float getAttackTimeFactor() const noexcept { return attackTimeFactor; }
    float getReleaseTimeFactor() const noexcept { return releaseTimeFactor; }
    /** The ramped values in use: where the last block's additions left them. */
    float getAttack() const noexcept { return attack; }
    float getRelease() const noexcept { return release; }
    float getGain() const noexcept { return gain; }
    float getDrive() const noexcept { return drive; }

    /** The envelopes and coefficients the followers run on. */
    struct Envelopes {
        float fast, slow, releasePeak, release, hold;
    };
    Envelopes getEnvelopes() const noexcept { return {fastEnv, slowEnv, releasePeak, releaseEnv, holdEnv}; }
    struct Coefficients {
        float fast, attack, releaseMin, releaseSpan, releasePeak, hold;
    };
    Coefficients getCoefficients() const noexcept
    {
        return {cFast, cAttack, cReleaseMin, cReleaseSpan, cReleasePeak, cHold};
    }

    void computeCoefficients() noexcept;
    template <int numChannels>
    void processBlock(const float* inL, const float* inR, float* outL, float* outR, int32_t n) noexcept;
    template <int numChannels, bool guarded>
    void runFrames(const float* inL, const float* inR, float* outL, float* outR, int32_t n) noexcept;

    float saturationPeak = 0.0f;
    bool bypassed = false;
    float drive = 0.01f;
    float driveTarget = 0.1f;
    float attackTimeFactor = 1.0f;
    float releaseTimeFactor = 1.0f;
    float sampleRate = 44100.0f;
    float attack = 0.0f;
    float attackTarget = 0.0f;
    float release = 0.0f;
    float releaseTarget = 0.0f;
    float gain = 1.0f;
    float gainTarget = 1.0f;
    float fastEnv = 0.0f;
    float slowEnv = 0.0f;
    float releasePeak = 0.0f;
    float releaseEnv = 0.0f;
    float holdEnv = 0.0f;
    float cFast = 0.0f;
    float cAttack = 0.0f;
    float cReleaseMin = 0.0f;
    float cReleaseSpan = 0.0f;
    float cReleasePeak = 0.0f;
    float cHold = 0.0f;
};

/** Peak-meter ballistics: instant rise, a linear fall of `fall` per frame. The plug-in measures its
    input and output with one each while an editor is attached. Real-time safe. */
struct MeterState {
    /** The meter value, linear amplitude, in [0, 1.5] after each measure. */
    float level = 0.0f;
    /** Subtracted per frame; the owner sets 0.25 / sample rate, so the meter falls a quarter of full
        scale per second. */
    float fall = 0.1f;

    /** Runs n frames of one channel (right null) or two; returns the new level. */
    float measure(const float* left, const float* right, int32_t n) noexcept;
};
