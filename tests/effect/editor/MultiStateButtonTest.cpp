#include "effect/editor/MultiStateButton.h"

#include "FakeWindow.h"

#include "framework/gui/ComponentsContainer.h"

#include <gtest/gtest.h>

using namespace q9test;

namespace {

// The panel's side: what reaches the host through the child hooks.
class Panel : public Component {
public:
    void childClicked(Component* child) override
    {
        sent.push_back(child->getValue());
        frames.push_back(static_cast<MultiStateButton*>(child)->getFrameIndex());
    }
    void childMouseDown(Component*, const MouseEvent&) override { ++gestures; }
    void childMouseUp(Component*, const MouseEvent&) override { --gestures; }

    std::vector<double> sent;
    std::vector<int> frames;
    int gestures = 0;
};

// The attack time selector: 110 x 34 at (519, 260) with a three-frame strip.
struct Selector : public ::testing::Test {
    FakeHost host;
    ComponentsContainer container{&host};
    Panel* panel = new Panel();
    MultiStateButton* button = new MultiStateButton();

    void SetUp() override
    {
        panel->setBounds(Rectangle(0, 0, 1500, 350), false);
        button->setBounds(Rectangle(519, 260, 110, 34), false);
        button->setFilmStrip(Image(110, 3 * 34, true), 3);
        panel->addAndMakeVisible(button);
        container.setRoot(panel, true, true);
        container.setSize(1500, 350);
    }
    void event(MouseEventType type, int x, uint32_t pressed = mouseButtonLeft)
    {
        container.dispatchPointerEvent(0, type, Point(519 + x, 270), pressed, 1, 0.0f, 0.0f);
    }
};

} // namespace

TEST_F(Selector, ClickSendsThePointerShareOfTheWidth)
{
    const struct { int x; double value; int frame; const char* what; } cases[] = {
        {109, 109.0 / 110.0, 2, "last pixel: not quite 1"},
        {55, 0.5, 1, "middle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        panel->sent.clear();
        panel->frames.clear();
        event(mouseEventDown, c.x);
        event(mouseEventUp, c.x);
        ASSERT_EQ(panel->sent.size(), 1u) << "one value per press, none on release";
        EXPECT_EQ(panel->sent[0], c.value);
        EXPECT_EQ(panel->frames[0], c.frame);
        EXPECT_EQ(panel->gestures, 0) << "the press and the release both reach the panel";
    }
}

TEST_F(Selector, DragFollowsAndPinsAtTheEnds)
{
    event(mouseEventDown, 50);
    event(mouseEventMove, -40);
    EXPECT_EQ(panel->gestures, 1);
    event(mouseEventMove, 400);
    event(mouseEventUp, 400);
    const std::vector<double> expected{50.0 / 110.0, 0.0, 1.0};
    EXPECT_EQ(panel->sent, expected);
    EXPECT_EQ(button->getFrameIndex(), 2);
}
