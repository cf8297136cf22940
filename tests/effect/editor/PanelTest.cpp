// Kelvane's panel without a display: the editor as the root of a container that the test feeds with
// pointer events (in editor pixels, the panel shown at half size), and a host that says where the
// pointer is on the screen.
#include "effect/KVAudioPlugin.h"
#include "effect/editor/KVAudioPluginEditor.h"
#include "effect/editor/MainComponent.h"
#include "framework/gui/AdapterComponent.h"
#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/Knob.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace q9framework;

namespace {

struct PointerHost : ComponentsHost {
    Point pointer;
    Point getScreenPosition() override { return {}; }
    Point getPointerScreenPosition() override { return pointer; }
    void showCursor(const Mouse::Cursor&) override {}
    void setMouseLocked(bool) override {}
};

struct Recorder : AudioPluginEditorListener {
    std::vector<std::string> log;
    void editorSizeChanged(int32_t w, int32_t h) override
    {
        log.push_back("size " + std::to_string(w) + "x" + std::to_string(h));
    }
    void parameterGestureBegan(AudioPluginEditor*, int32_t i) override { log.push_back("begin " + std::to_string(i)); }
    void parameterChanged(AudioPluginEditor*, int32_t i, double) override { log.push_back("value " + std::to_string(i)); }
    void parameterGestureEnded(AudioPluginEditor*, int32_t i) override { log.push_back("end " + std::to_string(i)); }
};

class Panel : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor = new KVAudioPluginEditor(plugin);
        container.setRoot(editor, true, true);
        container.setSize(editor->getWidth(), editor->getHeight());
        editor->addListener(&recorder);
    }
    void TearDown() override { container.setRoot(nullptr, false, true); }

    void pointer(MouseEventType type, int x, int y, uint32_t button = 0)
    {
        container.dispatchPointerEvent(0, type, Point(x, y), button, 1, 0.0f, 0.0f);
    }
    MainComponent& panel() { return editor->getPanel(); }
    double valueOf(int id) { return panel().findChildWithId(static_cast<uint64_t>(id), false)->getValue(); }

    KVAudioPlugin plugin;
    PointerHost host;
    ComponentsContainer container{&host};
    KVAudioPluginEditor* editor = nullptr;
    Recorder recorder;
};

TEST_F(Panel, ControlsSitWhereTheArtworkHasThem)
{
    EXPECT_EQ(editor->getSize(), Point(750, 175));
    EXPECT_EQ(editor->getAdapter().getBounds(), Rectangle(0, 0, 750, 175));
    EXPECT_EQ(panel().getBounds(), Rectangle(0, 0, 1500, 350));
    EXPECT_EQ(panel().getId(), 255u);
    const struct {
        uint64_t id;
        Rectangle bounds;
        bool opaque;
    } table[] = {
        {0, {510, 128, 127, 129}, true},  {6, {645, 110, 101, 106}, true},  {1, {755, 127, 123, 131}, true},
        {3, {891, 110, 96, 105}, true},   {2, {897, 228, 84, 57}, true},    {~uint64_t(0), {177, 56, 272, 131}, false},
        {~uint64_t(0), {1055, 56, 272, 131}, false}, {~uint64_t(0), {673, 228, 43, 40}, false},
        {4, {519, 260, 110, 34}, true},   {5, {767, 261, 107, 31}, true},
    };
    ASSERT_EQ(panel().getNumChildren(), 10);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const Component* child = panel().getChild(i);
        EXPECT_EQ(child->getId(), table[i].id);
        EXPECT_EQ(child->getBounds(), table[i].bounds);
        EXPECT_EQ(child->isOpaque(), table[i].opaque);
        EXPECT_TRUE(child->isVisible());
    }
    for (int i : {0, 1, 2, 3}) {
        auto* knob = dynamic_cast<Knob*>(panel().getChild(i));
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->getWheelStep(), 0.01f);
        EXPECT_EQ(knob->getSensitivity(), 0.0025);
        EXPECT_EQ(knob->getDefaultValue(), knob->getId() == 6 ? 0.0 : 0.5);
    }
}

TEST_F(Panel, ResizeSizesAreClampedInTheArtworksAspect)
{
    EXPECT_EQ(MainComponent::clampedEditorSize(2000, 1500, 350), Point(1499, 349));
    EXPECT_EQ(MainComponent::clampedEditorSize(100, 1500, 350), Point(300, 70));
    EXPECT_EQ(MainComponent::clampedEditorSize(1000, 1500, 350), Point(1000, 233)) << "233.33 truncated";
    EXPECT_EQ(MainComponent::clampedEditorSize(600, 0, 0), Point(600, 140)) << "no artwork: the design size";
}

TEST_F(Panel, ADragFromTheRightStripResizesByScreenTravel)
{
    container.broadcastUpdate();   // the nested tree learns its host on the first tick
    // Panel x 1348 is left of the strip: no resize.
    pointer(mouseEventMove, 674, 20);
    EXPECT_FALSE(panel().isResizeMode());
    host.pointer = Point(674, 20);
    pointer(mouseEventDown, 674, 20, mouseButtonLeft);
    host.pointer = Point(774, 20);
    pointer(mouseEventMove, 774, 20, mouseButtonLeft);
    pointer(mouseEventUp, 774, 20, mouseButtonLeft);
    EXPECT_TRUE(recorder.log.empty());

    // Panel x 1350 is on it: 100 screen pixels to the right make the editor 850 wide.
    pointer(mouseEventMove, 675, 20);
    EXPECT_TRUE(panel().isResizeMode());
    host.pointer = Point(675, 20);
    pointer(mouseEventDown, 675, 20, mouseButtonLeft);
    host.pointer = Point(775, 20);
    pointer(mouseEventMove, 775, 20, mouseButtonLeft);
    ASSERT_EQ(recorder.log, std::vector<std::string>{"size 850x198"});
    EXPECT_EQ(plugin.getEditorWidth(), 850);
    EXPECT_EQ(plugin.getEditorHeight(), 198);
    // Nothing else resized it here (no holder): the drag still measures from the stored start width.
    host.pointer = Point(-2000, 20);
    pointer(mouseEventMove, 10, 20, mouseButtonLeft);
    EXPECT_EQ(recorder.log.back(), "size 300x70");
}

TEST_F(Panel, HostChangesReachControlsOnTheTickButNotUnderTheHand)
{
    // Values a float holds exactly: the plug-in stores f32.
    plugin.setParameter(KVAudioPlugin::gainIndex, 0.25);
    EXPECT_EQ(valueOf(3), 0.5) << "the host's thread does not touch the panel";
    panel().update();
    EXPECT_EQ(valueOf(3), 0.25);

    pointer(mouseEventMove, 469, 81);
    pointer(mouseEventDown, 469, 81, mouseButtonLeft);
    plugin.setParameter(KVAudioPlugin::gainIndex, 0.9);
    panel().update();
    EXPECT_EQ(valueOf(3), 0.25) << "held";
    pointer(mouseEventUp, 469, 81, mouseButtonLeft);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"begin 3", "end 3"}));

    recorder.log.clear();
    plugin.setParameter(KVAudioPlugin::gainIndex, 0.375);
    plugin.setParameter(KVAudioPlugin::attackTimeIndex, 0.875);
    panel().update();
    EXPECT_EQ(valueOf(3), 0.375);
    EXPECT_EQ(valueOf(4), 0.875);
    EXPECT_TRUE(recorder.log.empty()) << "refreshing sends nothing back";
}

} // namespace
