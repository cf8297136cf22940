// The plug-in as a host runs it: loaded from the bundle's .so, stereo drum material in blocks of
// 512 frames through the AEffect's processReplacing, every amount non-zero. Reported per frame.
//
//   build/bench/bench_plugin [--plugin PATH]      (default: the built bundle, then ~/.vst/Kelvane.vst)

#include "tools/kelvane/DemoLoop.h"
#include "tools/kelvane/HostedPlugin.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string pluginPath;                      // --plugin, empty for the default places

void BM_PluginStereoProcessReplacing(benchmark::State& state)
{
    const int blockSize = static_cast<int>(state.range(0));
    kelvane::HostedPlugin hosted;
    std::string error;
    if (!hosted.load(pluginPath, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    q9framework::VSTPlugIn& plugIn = hosted.plugIn();
    plugIn.setSampleRate(44100.0f);
    plugIn.setBlockSize(blockSize);
    // Attack +60 %, Release -40 %, Gain +1.8 dB, Attack Time sharp, Release Time soft, Drive 30 %.
    const float values[] = {0.8f, 0.3f, 0.0f, 0.6f, 0.1f, 0.9f, 0.3f};
    for (int i = 0; i < 7; ++i)
        plugIn.setParameter(i, values[i]);
    plugIn.dispatch(effMainsChanged, 0, 1);

    const kelvane::AudioData loop = kelvane::synthesiseDemoLoop();
    const auto numFrames = static_cast<size_t>(loop.numFrames());
    std::vector<float> outLeft(static_cast<size_t>(blockSize)), outRight(static_cast<size_t>(blockSize));
    size_t position = 0;
    for (auto _ : state) {
        if (position + static_cast<size_t>(blockSize) > numFrames)
            position = 0;
        float* inputs[] = {const_cast<float*>(loop.channels[0].data()) + position,
                           const_cast<float*>(loop.channels[1].data()) + position};
        float* outputs[] = {outLeft.data(), outRight.data()};
        plugIn.processReplacing(inputs, outputs, blockSize);
        benchmark::ClobberMemory();
        position += static_cast<size_t>(blockSize);
    }
    plugIn.dispatch(effMainsChanged, 0, 0);
    state.SetItemsProcessed(state.iterations() * blockSize);
    // Frames per second, inverted by the reporter: time per stereo frame, printed as e.g. "16.0ns".
    state.counters["time_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * blockSize,
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PluginStereoProcessReplacing)->Arg(512);

} // namespace

int main(int argc, char** argv)
{
    // Our own option first; Google Benchmark refuses flags it does not know.
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc)
            pluginPath = argv[++i];
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
