#pragma once
// A deliberately plain transcription of the shaper's per-frame recipe: one statement per step, members
// everywhere, no hoisting, no skipped guard. The engine under test is optimised for speed; the two
// agreeing bit for bit is the evidence that the optimisation kept every rounding step.
#include <cmath>

struct ReferenceShaper {
    float peak = 0, drive = 0.01f, driveTarget = 0.1f, attack = 0, attackTarget = 0;
    float release = 0, releaseTarget = 0, gain = 1, gainTarget = 1;
    float F = 0, S = 0, P = 0, Q = 0, H = 0;
    float cFast, cAttack, cReleaseMin, cReleaseSpan, cReleasePeak, cHold;

    explicit ReferenceShaper(double fs = 44100.0, double af = 1.0, double rf = 1.0)
    {
        cFast = (float)std::pow(0.1, 1.0 / (0.2 * fs));
        cAttack = 1.0f - (float)std::pow(0.1, 1.0 / ((af * 0.01) * fs));
        cReleaseMin = 1.0f - (float)std::pow(0.1, 1.0 / ((0.02 * rf) * fs));
        cReleaseSpan = 1.0f - cReleaseMin;
        cReleasePeak = (float)std::pow(0.1, 1.0 / ((rf * 0.1) * fs));
        cHold = (float)std::pow(0.1, 1.0 / (fs * 4.0));
    }

    static float guard(float v) { volatile float up = 1e-18f, down = -1e-18f; return (v + up) + down; }

    static float sat(float y)
    {
        if (y < -3.0f) return -1.0f;
        if (y > 3.0f) return 1.0f;
        return (y * y + 27.0f) * y / (y * 9.0f * y + 27.0f);
    }

    float frameGain(float a)
    {
        F = guard(a > F ? a : F * cFast);
        S = guard(a > S ? S + (a - S) * cAttack : S * cFast);
        float GA = 1.0f;
        if (S > 0.0f && F / S >= 1.0f) { // a NaN ratio (inf / inf after an infinite input) counts as below 1
            const float r = F / S;
            GA = attack < 0.0f ? r : (r > 10.0f ? 6.6f : r * 0.96000004f + ((r * -0.003f) * r) * r);
        }
        H = a >= H ? a : guard(H * cHold);
        P = a >= P ? a : guard(P * cReleasePeak);
        float w = 1.0f;
        if (P > 0.0f && release >= 0.0f) w = ((P + 0.0001f) - Q) / (P + 0.0001f);
        w = w * 3.0f;
        if (w > 1.0f) w = 1.0f;
        if (w < 0.0f) w = 0.0f;
        Q = guard(Q + (P - Q) * (w * cReleaseSpan + cReleaseMin));
        float GR = 1.0f;
        if (Q > 1e-6f && H / Q >= 1.0f) {
            const float q = H / Q;
            GR = release < 0.0f ? q : (q > 20.0f ? 12.0f : q * 0.84f + q * q * q * -0.0006f);
        }
        const float g = release * (GR - 1.0f) + (GA - 1.0f) * attack;
        return g >= 0.0f ? g + 1.0f : 1.0f / (1.0f - g);
    }

    float shape(float x, float G)
    {
        const float s = sat(x * G * drive);
        peak = std::fabs(s) > peak ? std::fabs(s) : peak;
        peak = peak > 1.0f ? 1.0f : peak;
        return s / drive * gain;
    }

    // inR null: mono.
    void block(const float* inL, const float* inR, float* outL, float* outR, int n)
    {
        if (n < 1) return;
        const float k = 1.0f / (float)n;
        const float dG = (gainTarget - gain) * k, dA = (attackTarget - attack) * k;
        const float dR = (releaseTarget - release) * k, dD = (driveTarget - drive) * k;
        for (int i = 0; i < n; ++i) {
            const float l = inL[i], r = inR ? inR[i] : 0.0f;
            const float G = frameGain(inR ? (std::fabs(l) + std::fabs(r)) * 0.5f : std::fabs(l));
            outL[i] = shape(l, G);
            if (inR) outR[i] = shape(r, G);
            gain += dG; attack += dA; release += dR; drive += dD;
        }
    }
};
