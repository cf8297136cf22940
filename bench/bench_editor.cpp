// Kelvane's editor under Xvfb with Mesa's software GL.
// - Frames of the panel at the default 750 x 175, as the 16 ms timer runs them (tick, paint what is
//   dirty, present, the meters and the drive indicator drawn over it): one where only the meters and the
//   indicator move, one where a knob turns as well. CPU time is the whole process's (Mesa draws on
//   threads of its own).
// - Opening the editor of the built module through effEditOpen into a parent window, as a host does,
//   with the resource pack already loaded by the instance; and the memory an open editor adds.
#include "effect/KVAudioPlugin.h"
#include "effect/KVSharedResources.h"
#include "effect/editor/KVAudioPluginEditor.h"
#include "effect/editor/MainComponent.h"
#include "framework/core/FrameworkInitialiser.h"
#include "framework/core/MessageLoop.h"
#include "framework/gui/ComponentsWindow.h"
#include "framework/gui/GuiServices.h"
#include "framework/gui/linux/LinuxPlatform.h"
#include "framework/plugin/vst2/aeffectx.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

using namespace q9framework;

namespace {

struct Session {
    std::unique_ptr<FrameworkInitialiser> services;
    std::unique_ptr<KVAudioPlugin> plugin;
    std::unique_ptr<ComponentsWindow> window;
    KVAudioPluginEditor* editor = nullptr;
    std::vector<float> left = std::vector<float>(256), right = std::vector<float>(256);

    explicit Session(benchmark::State& state)
    {
        installLinuxGuiPlatform();
        installGuiServices();
        services = std::make_unique<FrameworkInitialiser>();
        KVSharedResources::setResourcesFolder(KELVANE_RESOURCES_DIR);
        plugin = std::make_unique<KVAudioPlugin>();
        plugin->prepare(256, true, 44100.0);
        plugin->setParameter(KVAudioPlugin::driveIndex, 1.0);
        window = std::make_unique<ComponentsWindow>(Rectangle(0, 0, 750, 175),
                                                    264u | q9framework::Window::noVSyncFlag | q9framework::Window::pluginEditorFlag,
                                                    String(), nullptr);
        if (!window->hasNative()) {
            state.SkipWithError("no X display with GLX");
            return;
        }
        editor = new KVAudioPluginEditor(*plugin);
        window->getContainer().setRoot(editor, true, true);
        for (int i = 0; i < 5; ++i)
            frame();
    }
    ~Session()
    {
        window.reset();
        plugin.reset();
        services.reset();
    }
    /** One block of audio whose level depends on `step`, so the meters and the indicator move. */
    void play(int step)
    {
        const float amplitude = 0.2f + 0.8f * static_cast<float>(step % 7) / 6.0f;
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = right[i] = (i % 2 == 0 ? amplitude : -amplitude);
        AudioPlugin::AudioBus* in = plugin->getInputBus(0);
        AudioPlugin::AudioBus* out = plugin->getOutputBus(0);
        in->setChannel(0, left.data());
        in->setChannel(1, right.data());
        out->setChannel(0, left.data());
        out->setChannel(1, right.data());
        ProcessInfo info;
        plugin->process(info, 256);
    }
    void frame() { q9framework::Window::runFrame(); }
};

void BM_FrameMetersOnly(benchmark::State& state)
{
    Session session(state);
    if (session.editor == nullptr)
        return;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.play(++step);
        state.ResumeTiming();
        session.frame();
    }
}
// Twice: CPU of the calling thread only (what the host's editor thread spends), then of the whole
// process (with Mesa's rasteriser threads).
BENCHMARK(BM_FrameMetersOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameMetersOnly)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_FrameKnobTurning(benchmark::State& state)
{
    Session session(state);
    if (session.editor == nullptr)
        return;
    Component* gain = session.editor->getPanel().findChildWithId(KVAudioPlugin::gainIndex, false);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.play(++step);
        state.ResumeTiming();
        gain->setValue(false, static_cast<double>(step % 100) / 100.0);
        session.frame();
    }
}
BENCHMARK(BM_FrameKnobTurning)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameKnobTurning)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

//==================================================================================================
// The built module, as a host loads it.

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

long residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_OpenEditorThroughTheModule(benchmark::State& state)
{
    void* module = dlopen(KELVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    Display* display = XOpenDisplay(nullptr);
    if (module == nullptr || display == nullptr) {
        state.SkipWithError(module == nullptr ? dlerror() : "no X display");
        return;
    }
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, "VSTPluginMain"));
    AEffect* effect = entry(&hostCallback);
    const ::Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 200, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    const auto dispatch = [&](VstInt32 opcode, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    };
    const auto idleFrames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(17));
        }
    };

    // Warm up once (first connection, shaders, glyphs), then measure what one open adds.
    dispatch(effEditOpen, reinterpret_cast<void*>(parent));
    idleFrames(3);
    dispatch(effEditClose);
    const long before = residentKilobytes();
    dispatch(effEditOpen, reinterpret_cast<void*>(parent));
    idleFrames(3);
    const long open = residentKilobytes();
    dispatch(effEditClose);
    state.counters["editor_kB"] = static_cast<double>(open - before);

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        dispatch(effEditOpen, reinterpret_cast<void*>(parent));
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        dispatch(effEditIdle);
        dispatch(effEditClose);
    }
    dispatch(effClose);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}
BENCHMARK(BM_OpenEditorThroughTheModule)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

} // namespace

BENCHMARK_MAIN();
