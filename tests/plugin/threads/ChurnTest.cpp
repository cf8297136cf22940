// Hosts make and drop instances all session long (scans, track duplicates, undo). A thousand VST and a
// thousand Audio Unit instances, each made, run a little and closed, leave the heap and the open files
// as they found them. (The editor's round trips are counted in EditorWindowTest.)
#include <gtest/gtest.h>   // before Xlib, whose macros clash with it

#include "tests/plugin/threads/Rig.h"

#include <malloc.h>

using namespace threadrig;

namespace {

#ifdef KELVANE_SANITIZED
// The sanitizer's allocator is not malloc's, so mallinfo2 sees nothing; its leak checker covers the heap.
constexpr bool heapIsMalloc = false;
constexpr int instances = 200;
#else
constexpr bool heapIsMalloc = true;
constexpr int instances = 1000;
#endif

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

/** Runs `cycle` for a warm-up, then `count` times; checks the heap and descriptors did not grow. */
template <typename Cycle>
void expectNoGrowth(Cycle cycle, int count = instances)
{
    for (int i = 0; i < 5; ++i)
        cycle();
    const size_t heap = heapInUse();
    const int descriptors = openDescriptors();
    for (int i = 0; i < count; ++i)
        cycle();
    EXPECT_EQ(openDescriptors(), descriptors);
    if (heapIsMalloc) {
        // Exact when malloc's per-thread cache is off, as ctest runs it: a thousand instances leaking
        // even one small block each would show as 16 KB and more.
        EXPECT_LE(heapInUse(), heap + 8192) << "heap before: " << heap << " after " << count << " instances";
    }
}

void vstCycle()
{
    Vst vst;
    vst.setParameter(0, 0.7f);
    ASSERT_TRUE(vst.process());
    ASSERT_TRUE(vst.process(100));
}

void audioUnitCycle()
{
    AURig au;
    ASSERT_EQ(au.status, noErr);
    au.unit->setParameter(0, kAudioUnitScope_Global, 0, 1.0f);
    ASSERT_EQ(au.render(), noErr);
    ASSERT_EQ(au.render(100), noErr);
}

// The first instance of the process reads the resource pack (tens of megabytes) and the last one
// frees it: a few rounds of that, then the thousand next to an instance that keeps the pack loaded,
// as in a session where the host always has one open. The Audio Unit's full rounds also unload the
// module (ctest runs each test in a process of its own, so nothing else holds it yet), and with it
// fontconfig when nothing else holds that: they once lost fontconfig's caches and the
// CFSTR table, about 2.4 KB per round.
TEST(Churn, VstInstancesLeaveNothingBehind)
{
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    expectNoGrowth(vstCycle, 10);
    Vst resident;
    expectNoGrowth(vstCycle);
}

TEST(Churn, AudioUnitInstancesLeaveNothingBehind)
{
    expectNoGrowth(audioUnitCycle, 10);
    Vst resident;
    expectNoGrowth(audioUnitCycle);
}

} // namespace
