#include "ControlTree.h"

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
    void buttonPressed(Button&) override { calls += "p"; }
    void buttonClicked(Button&) override { calls += "c"; }
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
}
