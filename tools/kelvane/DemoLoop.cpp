#include "tools/kelvane/DemoLoop.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace kelvane {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double tempoBpm = 120.0;
constexpr int stepsPerBar = 16;
constexpr int numBars = 4;

/** xorshift32: a tiny noise source whose sequence is fixed by its seed on every platform. */
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed != 0 ? seed : 1u) {}
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;   // -1..1
    }

private:
    uint32_t state;
};

enum class Voice { kick, snare, closedHat, openHat };

struct Hit {
    int step;                                 // 16th note within the loop
    Voice voice;
    double velocity;                          // 0..1
};

// Adds one drum hit into `dry` (mono) starting at `start`.
void renderHit(const Hit& hit, int sampleRate, std::vector<double>& dry, size_t start, Noise& noise)
{
    const double sr = sampleRate;
    const double length = hit.voice == Voice::kick ? 0.9 : hit.voice == Voice::snare ? 0.6 : hit.voice == Voice::openHat ? 0.7 : 0.12;
    const size_t count = std::min(dry.size() - std::min(dry.size(), start), static_cast<size_t>(length * sr));
    double phase = 0.0, phase2 = 0.0;
    double lowpass = 0.0;                     // one-pole state: noise minus its low part is a high-pass
    const double hatCoefficient = std::exp(-2.0 * pi * 7000.0 / sr);
    const double snareCoefficient = std::exp(-2.0 * pi * 1800.0 / sr);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sr;
        double s = 0.0;
        switch (hit.voice) {
        case Voice::kick: {
            // Pitch falls from ~155 Hz to 45 Hz in the first tens of milliseconds: the "thump".
            const double frequency = 45.0 + 110.0 * std::exp(-t / 0.035);
            phase += 2.0 * pi * frequency / sr;
            const double click = t < 0.003 ? noise.next() * (1.0 - t / 0.003) * 0.5 : 0.0;
            s = std::sin(phase) * std::exp(-t / 0.32) + click;
            break;
        }
        case Voice::snare: {
            phase += 2.0 * pi * 185.0 / sr;
            phase2 += 2.0 * pi * 330.0 / sr;
            const double tone = (0.7 * std::sin(phase) + 0.3 * std::sin(phase2)) * std::exp(-t / 0.06);
            const double n = noise.next();
            lowpass = snareCoefficient * lowpass + (1.0 - snareCoefficient) * n;
            s = 0.55 * tone + 0.75 * (n - lowpass) * std::exp(-t / 0.14);
            break;
        }
        case Voice::closedHat:
        case Voice::openHat: {
            const double n = noise.next();
            lowpass = hatCoefficient * lowpass + (1.0 - hatCoefficient) * n;
            const double decay = hit.voice == Voice::openHat ? 0.22 : 0.028;
            s = 0.5 * (n - lowpass) * std::exp(-t / decay);
            break;
        }
        }
        dry[start + i] += hit.velocity * s;
    }
}

std::vector<Hit> pattern()
{
    std::vector<Hit> hits;
    for (int bar = 0; bar < numBars; ++bar) {
        const int base = bar * stepsPerBar;
        const bool fill = bar == numBars - 1;
        for (int step : {0, 8, 10})
            hits.push_back({base + step, Voice::kick, step == 0 ? 1.0 : 0.85});
        if (bar % 2 == 1)
            hits.push_back({base + 7, Voice::kick, 0.6});
        hits.push_back({base + 4, Voice::snare, 0.9});
        hits.push_back({base + 12, Voice::snare, 1.0});
        if (fill) {
            hits.push_back({base + 14, Voice::snare, 0.45});
            hits.push_back({base + 15, Voice::snare, 0.6});
        }
        for (int step = 0; step < stepsPerBar; step += 2)
            hits.push_back({base + step, step == 14 && !fill ? Voice::openHat : Voice::closedHat, step % 4 == 0 ? 0.8 : 0.55});
        if (bar % 2 == 1)
            for (int step = 1; step < stepsPerBar; step += 4)
                hits.push_back({base + step, Voice::closedHat, 0.3});
    }
    return hits;
}

/** A small Schroeder room per channel: four damped feedback combs in parallel, two all-passes in
    series. Left and right use different delays, so the room is wide while the drums stay centred. */
class Room {
public:
    Room(int sampleRate, const std::array<double, 4>& combMs, const std::array<double, 2>& allpassMs)
    {
        for (size_t i = 0; i < combs.size(); ++i)
            combs[i].line.assign(static_cast<size_t>(combMs[i] * 0.001 * sampleRate), 0.0);
        for (size_t i = 0; i < allpasses.size(); ++i)
            allpasses[i].line.assign(static_cast<size_t>(allpassMs[i] * 0.001 * sampleRate), 0.0);
    }

    double process(double in)
    {
        double sum = 0.0;
        for (auto& comb : combs) {
            const double delayed = comb.line[comb.position];
            // Damping in the loop darkens the tail the way soft walls do.
            comb.filtered = delayed * 0.7 + comb.filtered * 0.3;
            comb.line[comb.position] = in + comb.filtered * 0.78;
            comb.position = (comb.position + 1) % comb.line.size();
            sum += delayed;
        }
        double out = sum * 0.25;
        for (auto& allpass : allpasses) {
            const double delayed = allpass.line[allpass.position];
            const double written = out + delayed * 0.5;
            allpass.line[allpass.position] = written;
            allpass.position = (allpass.position + 1) % allpass.line.size();
            out = delayed - written * 0.5;
        }
        return out;
    }

private:
    struct Delay {
        std::vector<double> line;
        size_t position = 0;
        double filtered = 0.0;
    };
    std::array<Delay, 4> combs;
    std::array<Delay, 2> allpasses;
};

} // namespace

AudioData synthesiseDemoLoop(int sampleRate)
{
    const double secondsPerStep = 60.0 / tempoBpm / 4.0;
    const size_t numFrames = static_cast<size_t>(secondsPerStep * stepsPerBar * numBars * sampleRate);

    // Dry drums, centred, and hats on their own bus so they can sit a little to the right.
    std::vector<double> drums(numFrames, 0.0), hats(numFrames, 0.0);
    Noise noise(0x4B764C6Eu);
    for (const Hit& hit : pattern()) {
        const size_t start = static_cast<size_t>(hit.step * secondsPerStep * sampleRate);
        const bool isHat = hit.voice == Voice::closedHat || hit.voice == Voice::openHat;
        renderHit(hit, sampleRate, isHat ? hats : drums, start, noise);
    }

    Room roomLeft(sampleRate, {29.7, 37.1, 41.1, 43.7}, {5.0, 1.7});
    Room roomRight(sampleRate, {30.5, 35.9, 40.3, 44.9}, {5.3, 1.9});
    AudioData audio;
    audio.sampleRate = sampleRate;
    audio.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    audio.channels.assign(2, std::vector<float>(numFrames));
    std::vector<double> left(numFrames), right(numFrames);
    double peak = 0.0;
    for (size_t i = 0; i < numFrames; ++i) {
        const double send = drums[i] + hats[i];
        const double wetLeft = roomLeft.process(send);
        const double wetRight = roomRight.process(send);
        left[i] = drums[i] + 0.8 * hats[i] + 0.55 * wetLeft;
        right[i] = drums[i] + 1.0 * hats[i] + 0.55 * wetRight;
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
    // Peak at -1 dBFS: room for the effect's attack boost before its drive stage.
    const double scale = peak > 0.0 ? std::pow(10.0, -1.0 / 20.0) / peak : 1.0;
    for (size_t i = 0; i < numFrames; ++i) {
        audio.channels[0][i] = static_cast<float>(left[i] * scale);
        audio.channels[1][i] = static_cast<float>(right[i] * scale);
    }
    return audio;
}

} // namespace kelvane
