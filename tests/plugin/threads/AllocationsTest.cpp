// The audio path allocates nothing once it runs: processReplacing and the Audio Unit render, with the
// editor open and idled on a GUI thread of its own and automation arriving from the host (between
// blocks) and from the user (knob drags on the editor).
//
// malloc and its relatives are replaced in this executable, so every allocation in the process ends
// here: the module's own operator new (its static C++ runtime calls malloc) as well as the system
// libraries'. Only the thread that sets `counting` is counted, so the GUI thread's drawing does not
// disturb the measurement. Not built with sanitizers, which bring their own allocator.
#include <gtest/gtest.h>   // before Xlib, whose macros clash with it

#include "tests/plugin/threads/Rig.h"

#include <cerrno>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace {
thread_local bool counting = false;
thread_local size_t counted = 0;

inline void note()
{
    if (counting)
        ++counted;
}
} // namespace

extern "C" {
void* malloc(size_t size)
{
    note();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size)
{
    note();
    return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size)
{
    note();
    return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size)
{
    note();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size)
{
    note();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size)
{
    note();
    void* p = __libc_memalign(alignment, size);
    if (p == nullptr)
        return ENOMEM;
    *out = p;
    return 0;
}
}

using namespace threadrig;

namespace {

/** Allocations made by `run` on this thread. */
template <typename Run>
size_t allocationsOf(Run run)
{
    const size_t before = counted;
    counting = true;
    run();
    counting = false;
    return counted - before;
}

TEST(AudioAllocations, CountingSeesTheModulesAllocations)
{
    // The check below is only worth something if the module's allocations reach this counter.
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    EXPECT_GT(allocationsOf([] { Vst vst; }), 0u);
}

TEST(AudioAllocations, NoneInProcessingWithTheEditorOpenAndAutomation)
{
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    HostWindow window;
    if (window.display == nullptr)
        GTEST_SKIP() << "no X display";
    Vst vst;
    std::atomic<bool> opened{false}, stop{false};
    int automatedBefore = 0;
    std::thread gui([&] {
        opened = vst.dispatch(effEditOpen, 0, 0, window.handle()) == 1;
        idleFor(vst, 100);
        automatedBefore = automateCalls.load();
        window.dragGainKnob(10, [&] { idleFor(vst, 15); });
        while (!stop.load())
            idleFor(vst, 10);
        vst.dispatch(effEditClose);
    });
    ASSERT_TRUE(vst.process());   // the first block may set things up
    const size_t allocations = allocationsOf([&] {
        for (int block = 0; block < 600; ++block) {
            vst.setParameter(block % 7 == 3 ? 0 : block % 7, static_cast<float>(block % 13) / 12.0f);
            vst.process(block % 2 == 0 ? 256 : 100);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    stop = true;
    gui.join();
    EXPECT_TRUE(opened.load());
    EXPECT_GT(automateCalls.load(), automatedBefore) << "the drag reached the plug-in while it processed";
    EXPECT_EQ(allocations, 0u);
}

TEST(AudioAllocations, NoneInAudioUnitRenderWithParameterSets)
{
    AURig au;
    ASSERT_EQ(au.status, noErr);
    ASSERT_EQ(au.render(), noErr);
    OSStatus worst = noErr;
    const size_t allocations = allocationsOf([&] {
        for (int block = 0; block < 300; ++block) {
            au.unit->setParameter(static_cast<AudioUnitParameterID>(block % 7), kAudioUnitScope_Global, 0,
                                  block % 2 == 0 ? 0.0f : 1.0f);
            if (const OSStatus status = au.render(block % 2 == 0 ? 256 : 100); status != noErr)
                worst = status;
        }
    });
    EXPECT_EQ(worst, noErr);
    EXPECT_EQ(allocations, 0u);
}

} // namespace
