#pragma once
// Deterministic drum-like test material: kicks (decaying low sine), snares (decaying noise), hats (short
// noise ticks) and a quiet noise floor, stereo with slightly different left and right mixes. Transients
// and decays are what the shaper reacts to, so this drives every branch of the detector.
#include <cmath>
#include <cstdint>
#include <vector>

struct DrumLoop {
    std::vector<float> left, right;

    explicit DrumLoop(int frames, double sampleRate = 44100.0)
        : left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames))
    {
        uint32_t seed = 0x1234567u;
        auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
        };
        const int beat = static_cast<int>(sampleRate * 0.25); // 240 BPM sixteenth grid of 4 per bar
        for (int i = 0; i < frames; ++i) {
            const int step = i / beat, t = i % beat;
            const double ts = t / sampleRate;
            float kick = 0, snare = 0, hat = 0;
            if (step % 4 == 0)
                kick = static_cast<float>(0.9 * std::exp(-ts * 18.0) * std::sin(2 * M_PI * (55.0 + 90.0 * std::exp(-ts * 40.0)) * ts));
            const float n = noise();
            if (step % 4 == 2)
                snare = static_cast<float>(0.6 * std::exp(-ts * 25.0)) * n;
            if (t < beat / 8)
                hat = static_cast<float>(0.25 * std::exp(-ts * 300.0)) * noise();
            const float floor = 0.001f * n;
            left[static_cast<size_t>(i)] = kick + snare * 0.8f + hat + floor;
            right[static_cast<size_t>(i)] = kick + snare + hat * 0.6f - floor;
        }
    }
};
