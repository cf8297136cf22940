#pragma once

// Plays audio through a plug-in in real time on an audio thread of its own, looping, as a host's audio
// engine would; paced by the clock, so no audio device is needed (what comes out is not heard).

#include "tools/kelvane/AudioFile.h"

#include <atomic>
#include <functional>
#include <thread>

namespace kelvane {

/** The plug-in's block: non-interleaved inputs and outputs of `frames` frames. Called on the audio
    thread only; `inputs` point into the looped material, `outputs` into the loop's own buffers. */
using ProcessBlock = std::function<void(float** inputs, float** outputs, int frames)>;

/** Calls `process` with consecutive blocks of `source` (mono fed to both inputs), wrapping at its
    end, one block per block duration of the wall clock. The buffers are made before the thread starts:
    the thread itself allocates nothing. */
class AudioLoop {
public:
    AudioLoop(const AudioData& source, int blockSize, int numInputs, int numOutputs);
    ~AudioLoop();
    AudioLoop(const AudioLoop&) = delete;
    AudioLoop& operator=(const AudioLoop&) = delete;

    void start(ProcessBlock process);
    /** Returns once the thread has finished its block. */
    void stop();
    long long blocksPlayed() const { return blocks.load(); }

private:
    void run();
    std::vector<std::vector<float>> loop;      // the material, per effect input, plus one block of wrap
    std::vector<std::vector<float>> outputs;
    std::vector<float*> inputPointers, outputPointers;
    int blockSize;
    int sampleRate;
    ProcessBlock process;
    std::atomic<bool> running{false};
    std::atomic<long long> blocks{0};
    std::thread thread;
};

} // namespace kelvane
