#pragma once
// A deliberately plain transcription of the shaper's per-frame recipe, one statement per step, members
// everywhere, no hoisting and no branch-free tricks. The engine under test is optimised for speed; this
// one is written for reading, so the two agreeing bit for bit is evidence that the optimisation kept
// every rounding step.
#include <cmath>

struct ReferenceShaper {
    float saturationPeak = 0, drive = 0.01f, driveTarget = 0.1f, attack = 0, attackTarget = 0;
    float release = 0, releaseTarget = 0, gain = 1, gainTarget = 1;
    float F = 0, S = 0, P = 0, Q = 0, H = 0;
    float cFast, cAttack, cReleaseMin, cReleaseSpan, cReleasePeak, cHold;
    bool bypassed = false;

    explicit ReferenceShaper(double fs = 44100.0, double attackFactor = 1.0, double releaseFactor = 1.0)
    {
        setTimes(fs, attackFactor, releaseFactor);
    }

    void setTimes(double fs, double af, double rf)
    {
        cFast = (float)std::pow(0.1, 1.0 / (0.2 * fs));
        float tmp = (float)std::pow(0.1, 1.0 / ((af * 0.01) * fs));
        cAttack = 1.0f - tmp;
        tmp = (float)std::pow(0.1, 1.0 / ((0.02 * rf) * fs));
        cReleaseMin = 1.0f - tmp;
        cReleaseSpan = 1.0f - cReleaseMin;
        cReleasePeak = (float)std::pow(0.1, 1.0 / ((rf * 0.1) * fs));
        cHold = (float)std::pow(0.1, 1.0 / (fs * 4.0));
    }

    static float guard(float v)
    {
        volatile float up = 1e-18f, down = -1e-18f;
        float t = v + up;
        return t + down;
    }

    static float sat(float y)
    {
        if (y < -3.0f) return -1.0f;
        if (y > 3.0f) return 1.0f;
        float num = y * y;
        num = num + 27.0f;
        num = num * y;
        float den = y * 9.0f;
        den = den * y;
        den = den + 27.0f;
        return num / den;
    }

    // Gain factor for one frame from the detector input a; advances the envelopes.
    float frameGain(float a)
    {
        if (a > F) F = a; else F = F * cFast;
        F = guard(F);
        if (a > S) S = S + (a - S) * cAttack; else S = S * cFast;
        S = guard(S);
        float GA = 1.0f;
        if (S > 0.0f) {
            float r = F / S;
            if (!(r < 1.0f)) {
                if (attack >= 0.0f) {
                    if (r > 10.0f) GA = 6.6f;
                    else { float c = r * -0.003f; c = c * r; c = c * r; GA = r * 0.96000004f + c; }
                } else GA = r;
            }
        }
        if (a >= H) H = a; else H = guard(H * cHold);
        if (a >= P) P = a; else P = guard(P * cReleasePeak);
        float w = 1.0f;
        if (P > 0.0f && release >= 0.0f) { float t = P + 0.0001f; w = (t - Q) / t; }
        w = w * 3.0f;
        if (w > 1.0f) w = 1.0f;
        if (w < 0.0f) w = 0.0f;
        float speed = w * cReleaseSpan + cReleaseMin;
        Q = guard(Q + (P - Q) * speed);
        float GR = 1.0f;
        if (Q > 1e-6f) {
            float q = H / Q;
            if (!(q < 1.0f)) {
                if (release >= 0.0f) {
                    if (q > 20.0f) GR = 12.0f;
                    else { float c = q * q; c = c * q; c = c * -0.0006f; GR = q * 0.84f + c; }
                } else GR = q;
            }
        }
        float g = release * (GR - 1.0f) + (GA - 1.0f) * attack;
        return g >= 0.0f ? g + 1.0f : 1.0f / (1.0f - g);
    }

    float shapeSample(float x, float G)
    {
        float y = x * G;
        y = y * drive;
        float s = sat(y);
        if (std::fabs(s) > saturationPeak) saturationPeak = std::fabs(s);
        if (saturationPeak > 1.0f) saturationPeak = 1.0f;
        if (saturationPeak < 0.0f) saturationPeak = 0.0f;
        float o = s / drive;
        return o * gain;
    }

    void block(const float* inL, const float* inR, float* outL, float* outR, int n)
    {
        if (n < 1) return;
        if (bypassed) {
            for (int i = 0; i < n; ++i) { outL[i] = inL[i]; if (inR) outR[i] = inR[i]; }
            return;
        }
        float k = 1.0f / (float)n;
        float dG = (gainTarget - gain) * k, dA = (attackTarget - attack) * k;
        float dR = (releaseTarget - release) * k, dD = (driveTarget - drive) * k;
        for (int i = 0; i < n; ++i) {
            float l = inL[i], r = inR ? inR[i] : 0.0f;
            float a = inR ? (std::fabs(l) + std::fabs(r)) * 0.5f : std::fabs(l);
            float G = frameGain(a);
            outL[i] = shapeSample(l, G);
            if (inR) outR[i] = shapeSample(r, G);
            gain += dG; attack += dA; release += dR; drive += dD;
        }
        gain = gainTarget; attack = attackTarget; release = releaseTarget; drive = driveTarget;
    }
};
