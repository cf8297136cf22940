#include "tools/kelvane/edit/AudioLoop.h"

#include <algorithm>
#include <chrono>

namespace kelvane {

AudioLoop::AudioLoop(const AudioData& source, int frames, int numInputs, int numOutputs)
    : blockSize(std::max(frames, 1)), sampleRate(source.sampleRate > 0 ? source.sampleRate : 44100)
{
    const auto length = static_cast<size_t>(std::max<int64_t>(source.numFrames(), 1));
    // Each input channel carries one block more than the material, a copy of its start, so a block that
    // crosses the end reads on into the beginning without a second copy on the audio thread.
    loop.resize(static_cast<size_t>(std::max(numInputs, 0)));
    for (size_t i = 0; i < loop.size(); ++i) {
        std::vector<float>& channel = loop[i];
        channel.assign(length + static_cast<size_t>(blockSize), 0.0f);
        if (source.numChannels() == 0)
            continue;
        const std::vector<float>& from = source.channels[std::min(i, source.channels.size() - 1)];
        for (size_t k = 0; k < channel.size(); ++k)
            channel[k] = from.empty() ? 0.0f : from[k % from.size()];
    }
    outputs.assign(static_cast<size_t>(std::max(numOutputs, 0)), std::vector<float>(static_cast<size_t>(blockSize), 0.0f));
    inputPointers.resize(loop.size());
    outputPointers.resize(outputs.size());
    for (size_t i = 0; i < outputs.size(); ++i)
        outputPointers[i] = outputs[i].data();
}

AudioLoop::~AudioLoop() { stop(); }

void AudioLoop::start(ProcessBlock block)
{
    stop();
    process = std::move(block);
    running = true;
    thread = std::thread(&AudioLoop::run, this);
}

void AudioLoop::stop()
{
    running = false;
    if (thread.joinable())
        thread.join();
}

void AudioLoop::run()
{
    using Clock = std::chrono::steady_clock;
    const size_t length = loop.empty() ? 1 : loop[0].size() - static_cast<size_t>(blockSize);
    const auto blockDuration = std::chrono::duration<double>(static_cast<double>(blockSize) / sampleRate);
    size_t position = 0;
    auto due = Clock::now();
    while (running) {
        for (size_t i = 0; i < loop.size(); ++i)
            inputPointers[i] = loop[i].data() + position;
        process(inputPointers.data(), outputPointers.data(), blockSize);
        blocks.fetch_add(1);
        position = (position + static_cast<size_t>(blockSize)) % length;
        due += std::chrono::duration_cast<Clock::duration>(blockDuration);
        // A late block is not made up for by a burst: the engine picks up from now, as a device would.
        const auto now = Clock::now();
        if (due < now - std::chrono::milliseconds(100))
            due = now;
        std::this_thread::sleep_until(due);
    }
}

} // namespace kelvane
