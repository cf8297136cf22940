#include "ControlTree.h"

#include "framework/core/MessageLoop.h"
#include "framework/gui/Button.h"
#include "framework/gui/ToggleButton.h"

using namespace q9test;

namespace {

struct ToggleLog : public ToggleButton::Listener {
    int changes = 0;
    void toggleStateChanged(ToggleButton&) override { ++changes; }
};

struct ButtonLog : public Button::Listener {
    std::string calls;
    Button* removeFrom = nullptr;
    void buttonPressed(Button&) override { calls += "p"; }
    void buttonClicked(Button& b) override
    {
        calls += "c";
        if (removeFrom != nullptr)
            b.removeListener(this);
    }
    void buttonReleased(Button&) override { calls += "r"; }
};

} // namespace

TEST_F(ControlTree, RadioGroupKeepsOneOnAndSwitchesTheOthersOffQuietly)
{
    ToggleButton* t[3];
    ToggleLog logs[3];
    for (int i = 0; i < 3; ++i) {
        const char* names[] = {"a", "b", "c"};
        t[i] = add(new ToggleButton(), names[i], Rectangle(10 + 40 * i, 10, 30, 30));
        t[i]->setRadioGroup(1);
        t[i]->addListener(&logs[i]);
    }
    auto* loner = add(new ToggleButton(), "loner", Rectangle(200, 10, 30, 30));
    loner->setState(true, false);

    click(20, 20);
    click(60, 20);
    EXPECT_FALSE(t[0]->getState());
    EXPECT_TRUE(t[1]->getState());
    EXPECT_EQ(t[0]->getPosition(), 0.0f);
    EXPECT_EQ(logs[0].changes, 1) << "switched off by its group without being told";
    EXPECT_TRUE(loner->getState()) << "outside the group";

    click(60, 20);
    EXPECT_TRUE(t[1]->getState()) << "clicking the chosen member leaves it on";
    EXPECT_EQ(logs[1].changes, 1);
    const std::vector<std::string> expected{"down a", "clicked a 1.0000", "up a", "down b", "clicked b 1.0000",
                                            "up b", "down b", "up b"};
    EXPECT_EQ(panel->log, expected);
}

TEST_F(ControlTree, ButtonClickCountsOnlyWhenReleasedOverIt)
{
    auto* button = add(new Button("OK"), "ok", Rectangle(10, 10, 60, 20));
    ButtonLog log;
    button->addListener(&log);
    move(20, 20);
    press(20, 20);
    EXPECT_TRUE(button->isPressed());
    move(200, 200);
    release(200, 200);
    EXPECT_FALSE(button->isPressed());
    EXPECT_EQ(log.calls, "pr");
    EXPECT_EQ(panel->log, (std::vector<std::string>{"down ok", "up ok"}));

    log.calls.clear();
    click(20, 20);
    EXPECT_EQ(log.calls, "pcr");
    button->setTriggerOnPress(true);
    log.calls.clear();
    move(20, 20);
    press(20, 20);
    EXPECT_EQ(log.calls, "pc") << "the click at the press";
    release(200, 200);
    EXPECT_EQ(log.calls, "pcr");
}

TEST_F(ControlTree, ListenersMayLeaveDuringTheirNotification)
{
    auto* button = add(new Button("OK"), "ok", Rectangle(10, 10, 60, 20));
    ButtonLog leaving, staying;
    leaving.removeFrom = button;
    button->addListener(&leaving);
    button->addListener(&staying);
    click(20, 20);
    click(20, 20);
    EXPECT_EQ(leaving.calls, "pc") << "gone before the release";
    EXPECT_EQ(staying.calls, "pcrpcr") << "the listener after the one that left is still called";
}

TEST(ButtonAsync, ClicksArriveThroughTheLoopToTheListenersOfTheClick)
{
    ManualClock clock;
    MessageLoop loop(clock);
    MessageLoop* const previous = MessageLoop::setMain(&loop);
    {
        LockHost host;
        ComponentsContainer container(&host);
        auto* button = new Button("Close");
        button->setBounds(Rectangle(0, 0, 50, 20), false);
        container.setRoot(button, true, true);
        container.setSize(50, 20);
        button->setAsyncNotify(true);
        ButtonLog early, late;
        button->addListener(&early);
        auto clickIt = [&] {
            container.dispatchPointerEvent(0, mouseEventDown, Point(5, 5), mouseButtonLeft, 1, 0.0f, 0.0f);
            container.dispatchPointerEvent(0, mouseEventUp, Point(5, 5), mouseButtonLeft, 0, 0.0f, 0.0f);
        };
        clickIt();
        EXPECT_EQ(early.calls, "pr") << "nothing clicked inside the mouse handling";
        button->removeListener(&early);
        button->addListener(&late);
        loop.pump();
        EXPECT_EQ(early.calls, "prc") << "the listeners of the click hear it";
        EXPECT_EQ(late.calls, "");

        // A listener may destroy the button from its click; a click still queued then goes nowhere.
        struct Destroyer : public Button::Listener {
            ComponentsContainer* container = nullptr;
            int clicks = 0;
            void buttonClicked(Button&) override
            {
                ++clicks;
                container->setRoot(nullptr, false, true);
            }
        } destroyer;
        destroyer.container = &container;
        button->addListener(&destroyer);
        clickIt();
        clickIt();
        loop.pump();
        EXPECT_EQ(destroyer.clicks, 1);
        EXPECT_EQ(late.calls, "prprc") << "called before the destroyer, not after";
    }
    MessageLoop::setMain(previous);
}
