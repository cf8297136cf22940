// The built module driven from several threads at once, as hosts drive it: an audio thread processing
// while other threads automate parameters, load states, and open, idle and close the editor. Run under
// ThreadSanitizer in CI (scripts/test-threads.sh), where any race between them fails the test; in the
// other builds they check that nothing breaks and every value lands.
#include <gtest/gtest.h>   // before Xlib, whose macros clash with it

#include "tests/plugin/threads/Rig.h"

#include <atomic>
#include <string>
#include <thread>

using namespace threadrig;

namespace {

/** Runs blocks on a thread of its own until stopped; counts blocks and non-finite outputs. */
class AudioThread {
public:
    explicit AudioThread(Vst& vst)
        : thread([this, &vst] {
              while (!stop.load()) {
                  if (!vst.process(64 + 64 * (blocks % 4)))
                      ++broken;
                  ++blocks;
              }
          })
    {
    }
    /** Waits until at least `count` more blocks ran. */
    void awaitBlocks(int count) const
    {
        const int target = blocks.load() + count;
        while (blocks.load() < target)
            std::this_thread::yield();
    }
    ~AudioThread() { finish(); }
    int finish()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
        return broken;
    }
    std::atomic<int> blocks{0};

private:
    std::atomic<bool> stop{false};
    std::atomic<int> broken{0};
    std::thread thread;
};

TEST(Threads, HostAutomationAndEditorGesturesRaceTheAudioThread)
{
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    HostWindow window;
    if (window.display == nullptr)
        GTEST_SKIP() << "no X display";
    Vst vst;
    ASSERT_EQ(vst.dispatch(effEditOpen, 0, 0, window.handle()), 1);
    idleFor(vst, 100);   // on the screen, and the meters running
    AudioThread audio(vst);
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        char text[256];
        for (int i = 0; !stop.load(); ++i) {
            const VstInt32 index = i % 7;
            if (index == 3)
                continue;   // the knob the user holds
            vst.setParameter(index, static_cast<float>(i % 101) / 100.0f);
            vst.dispatch(effGetParamDisplay, index, 0, text);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const int automatedBefore = automateCalls.load();
    window.dragGainKnob(20, [&] { idleFor(vst, 15); });
    stop = true;
    automation.join();
    audio.awaitBlocks(2);
    EXPECT_EQ(audio.finish(), 0);
    EXPECT_GT(automateCalls.load(), automatedBefore) << "the drag reached the host";
    EXPECT_GT(vst.getParameter(3), 0.5f) << "dragging up turned the gain up";
    vst.dispatch(effEditClose);
}

TEST(Threads, StateLoadsWhileProcessing)
{
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    Vst vst;
    const auto save = [&] {
        void* chunk = nullptr;
        const VstIntPtr size = vst.dispatch(effGetChunk, 0, 0, &chunk);
        return std::string(static_cast<const char*>(chunk), static_cast<size_t>(size));
    };
    vst.setParameter(0, 0.1f);
    vst.setParameter(6, 0.9f);
    std::string first = save();
    vst.setParameter(0, 0.8f);
    vst.setParameter(6, 0.2f);
    std::string second = save();

    AudioThread audio(vst);
    for (int i = 0; i < 200; ++i) {
        std::string& state = i % 2 == 0 ? first : second;
        vst.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(state.size()), state.data());
        if (i % 20 == 0)
            save();
        audio.awaitBlocks(1);
    }
    EXPECT_EQ(audio.finish(), 0);
    EXPECT_EQ(vst.getParameter(0), 0.8f) << "the last state loaded is the one in force";
    EXPECT_EQ(vst.getParameter(6), 0.2f);
}

// Ardour's pattern: the instance is made on this thread; a second one owns the editor (open, idle,
// close, three times; idle and close also after an open that failed) while a third processes and this
// one automates.
TEST(Threads, EditorOnItsOwnThreadWhileAudioRuns)
{
    ASSERT_TRUE(PluginModule::get().isLoaded()) << PluginModule::get().error();
    HostWindow window;
    if (window.display == nullptr)
        GTEST_SKIP() << "no X display";
    Vst vst;
    AudioThread audio(vst);
    std::atomic<bool> editorDone{false};
    std::vector<VstIntPtr> opens;
    VstIntPtr badOpen = -1;
    std::thread editor([&] {
        badOpen = vst.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(0x3fffff1)));
        vst.dispatch(effEditIdle);
        vst.dispatch(effEditClose);
        for (int round = 0; round < 3; ++round) {
            opens.push_back(vst.dispatch(effEditOpen, 0, 0, window.handle()));
            idleFor(vst, 150);
            vst.dispatch(effEditClose);
        }
        editorDone = true;
    });
    for (int i = 0; !editorDone.load(); ++i) {
        vst.setParameter(i % 7, static_cast<float>(i % 11) / 10.0f);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    editor.join();
    audio.awaitBlocks(2);
    EXPECT_EQ(audio.finish(), 0);
    EXPECT_EQ(badOpen, 0) << "a parent that is no window";
    EXPECT_EQ(opens, std::vector<VstIntPtr>(3, 1));
    XSync(window.display, False);
    EXPECT_TRUE(window.children().empty());
}

TEST(Threads, AudioUnitRenderRacesParameterSets)
{
    AURig au;
    ASSERT_EQ(au.status, noErr);
    AudioUnitParameterInfo info[7]{};
    for (AudioUnitParameterID id = 0; id < 7; ++id) {
        UInt32 size = sizeof info[id];
        ASSERT_EQ(au.unit->getProperty(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info[id], &size), noErr);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    std::thread render([&] {
        while (!stop.load())
            if (au.render(128) != noErr)
                ++failures;
    });
    for (int i = 0; i < 7 * 285; ++i) {   // ends on a round of maxima
        const AudioUnitParameterID id = static_cast<AudioUnitParameterID>(i % 7);
        const Float32 value = (i / 7) % 2 == 0 ? info[id].maxValue : info[id].minValue;
        ASSERT_EQ(au.unit->setParameter(id, kAudioUnitScope_Global, 0, value), noErr);
    }
    stop = true;
    render.join();
    EXPECT_EQ(failures.load(), 0);
    for (AudioUnitParameterID id = 0; id < 7; ++id) {
        Float32 value = -1;
        ASSERT_EQ(au.unit->getParameter(id, kAudioUnitScope_Global, 0, &value), noErr);
        EXPECT_NEAR(value, info[id].maxValue, 1e-4f * (info[id].maxValue - info[id].minValue)) << "parameter " << id << " keeps the last value set";
    }
}

} // namespace
