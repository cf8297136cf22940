// Kelvane's panel without a display: the editor as the root of a container, its controls where the
// artwork has them and the resize clamp. Playing it is tested through the real window.
#include "effect/KVAudioPlugin.h"
#include "effect/editor/KVAudioPluginEditor.h"
#include "effect/editor/MainComponent.h"
#include "framework/gui/AdapterComponent.h"
#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/Knob.h"

#include <gtest/gtest.h>


using namespace q9framework;

namespace {

struct NoWindow : ComponentsHost {
    Point getScreenPosition() override { return {}; }
    void showCursor(const Mouse::Cursor&) override {}
    void setMouseLocked(bool) override {}
};

class Panel : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor = new KVAudioPluginEditor(plugin);
        container.setRoot(editor, true, true);
        container.setSize(editor->getWidth(), editor->getHeight());
    }
    void TearDown() override { container.setRoot(nullptr, false, true); }
    MainComponent& panel() { return editor->getPanel(); }

    KVAudioPlugin plugin;
    NoWindow host;
    ComponentsContainer container{&host};
    KVAudioPluginEditor* editor = nullptr;
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
}

TEST_F(Panel, ResizeSizesAreClampedInTheArtworksAspect)
{
    // The clamps at both ends are played through the real window in the editor's window tests.
    EXPECT_EQ(MainComponent::clampedEditorSize(1000, 1500, 350), Point(1000, 233)) << "233.33 truncated";
    EXPECT_EQ(MainComponent::clampedEditorSize(600, 0, 0), Point(600, 140)) << "no artwork: the design size";
}

} // namespace
