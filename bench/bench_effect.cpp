// Speed of the transient shaper: the engine alone (stereo and mono, blocks of 32, 512 and 4096) and the
// whole plug-in block (lock, bus set-up, engine), on drum material with every amount non-zero.
//
// Besides the Google Benchmark runs, `bench_effect --drive-plugin BLOCK BLOCKS` processes BLOCKS blocks
// through KVAudioPlugin::process and nothing else, for instruction counts under callgrind:
//   valgrind --tool=callgrind --toggle-collect='KVAudioPlugin::process*' bench_effect --drive-plugin 512 400
// and `--drive-so PATH BLOCK BLOCKS` does the same through a built plug-in's processReplacing.

#include "effect/KVAudioPlugin.h"
#include "effect/KVEngine.h"
#include "tests/effect/DrumLoop.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <vector>

namespace {

const DrumLoop& drums()
{
    static const DrumLoop loop(44100 * 4);
    return loop;
}

// More attack, less sustain, some drive, a little gain: every branch of the detector is live.
void setDrumSettings(KVEngine& e)
{
    e.setAttack(0.9f);
    e.setRelease(0.3f);
    e.setGain(0.6f);
    e.setDrive(0.4f);
}

void setDrumSettings(KVAudioPlugin& p)
{
    p.setParameter(0, 0.9);
    p.setParameter(1, 0.3);
    p.setParameter(3, 0.6);
    p.setParameter(6, 0.4);
}

void BM_EngineStereo(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    KVEngine engine;
    setDrumSettings(engine);
    const auto& d = drums();
    std::vector<float> l(static_cast<size_t>(n)), r(static_cast<size_t>(n));
    size_t pos = 0;
    for (auto _ : state) {
        if (pos + static_cast<size_t>(n) > d.left.size())
            pos = 0;
        engine.processStereo(&d.left[pos], &d.right[pos], l.data(), r.data(), n);
        benchmark::ClobberMemory();
        pos += static_cast<size_t>(n);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_EngineMono(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    KVEngine engine;
    setDrumSettings(engine);
    const auto& d = drums();
    std::vector<float> l(static_cast<size_t>(n));
    size_t pos = 0;
    for (auto _ : state) {
        if (pos + static_cast<size_t>(n) > d.left.size())
            pos = 0;
        engine.processMono(&d.left[pos], l.data(), n);
        benchmark::ClobberMemory();
        pos += static_cast<size_t>(n);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The plug-in as the adapter drives it: host buffers in place, bus pointers set per block.
struct PluginRig {
    KVAudioPlugin plugin;
    std::vector<float> l, r;
    q9framework::ProcessInfo info;
    size_t pos = 0;

    explicit PluginRig(int blockSize) : l(drums().left), r(drums().right)
    {
        plugin.useExternalBuffers();
        plugin.prepare(blockSize, true, 44100.0);
        setDrumSettings(plugin);
    }

    void block(int n) noexcept
    {
        if (pos + static_cast<size_t>(n) > l.size())
            pos = 0;
        auto* in = plugin.getInputBus(0);
        auto* out = plugin.getOutputBus(0);
        in->setNumChannels(2);
        out->setNumChannels(2);
        in->setChannel(0, &l[pos]);
        in->setChannel(1, &r[pos]);
        out->setChannel(0, &l[pos]);
        out->setChannel(1, &r[pos]);
        plugin.process(info, n);
        pos += static_cast<size_t>(n);
    }
};

void BM_PluginStereo(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    PluginRig rig(n);
    for (auto _ : state) {
        rig.block(n);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_EngineStereo)->Arg(32)->Arg(512)->Arg(4096);
BENCHMARK(BM_EngineMono)->Arg(32)->Arg(512)->Arg(4096);
BENCHMARK(BM_PluginStereo)->Arg(512);

int drivePlugin(int blockSize, int blocks)
{
    PluginRig rig(blockSize);
    for (int i = 0; i < blocks; ++i)
        rig.block(blockSize);
    std::printf("processed %d blocks of %d stereo frames through KVAudioPlugin::process\n", blocks, blockSize);
    return 0;
}

// Just enough of the published VST 2.4 plug-in record to call it: the fields at their published offsets.
struct HostSideEffect {
    int32_t magic;
    intptr_t (*dispatcher)(HostSideEffect*, int32_t, int32_t, intptr_t, void*, float);
    void (*process)(HostSideEffect*, float**, float**, int32_t);
    void (*setParameter)(HostSideEffect*, int32_t, float);
    float (*getParameter)(HostSideEffect*, int32_t);
    int32_t numPrograms, numParams, numInputs, numOutputs, flags;
    intptr_t resvd1, resvd2;
    int32_t initialDelay, realQualities, offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueID, version;
    void (*processReplacing)(HostSideEffect*, float**, float**, int32_t);
};
static_assert(offsetof(HostSideEffect, processReplacing) == 120, "published layout");

intptr_t hostCallback(HostSideEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == 1 ? 2400 : 0; // audioMasterVersion
}

int driveSharedObject(const char* path, int blockSize, int blocks)
{
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "bench_effect: cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    using Entry = HostSideEffect* (*)(decltype(&hostCallback));
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "VSTPluginMain"));
    HostSideEffect* effect = entry != nullptr ? entry(&hostCallback) : nullptr;
    if (effect == nullptr || effect->magic != 0x56737450) {
        std::fprintf(stderr, "bench_effect: %s: no VST 2.4 effect from VSTPluginMain\n", path);
        return 1;
    }
    effect->dispatcher(effect, 10, 0, 0, nullptr, 44100.0f);   // effSetSampleRate
    effect->dispatcher(effect, 11, 0, blockSize, nullptr, 0); // effSetBlockSize
    effect->dispatcher(effect, 12, 0, 1, nullptr, 0);         // effMainsChanged on
    const float values[7] = {0.9f, 0.3f, 0.0f, 0.6f, 0.5f, 0.5f, 0.4f};
    for (int i = 0; i < 7; ++i)
        effect->setParameter(effect, i, values[i]);
    std::vector<float> l(drums().left), r(drums().right);
    size_t pos = 0;
    for (int b = 0; b < blocks; ++b) {
        if (pos + static_cast<size_t>(blockSize) > l.size())
            pos = 0;
        float* channels[2] = {&l[pos], &r[pos]};
        effect->processReplacing(effect, channels, channels, blockSize);
        pos += static_cast<size_t>(blockSize);
    }
    effect->dispatcher(effect, 12, 0, 0, nullptr, 0);
    effect->dispatcher(effect, 1, 0, 0, nullptr, 0); // effClose
    dlclose(handle);
    std::printf("processed %d blocks of %d stereo frames through %s\n", blocks, blockSize, path);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--drive-plugin") == 0)
        return drivePlugin(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 5 && std::strcmp(argv[1], "--drive-so") == 0)
        return driveSharedObject(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
