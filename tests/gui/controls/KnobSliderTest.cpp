#include "ControlTree.h"

#include "framework/gui/Knob.h"
#include "framework/gui/Slider.h"

#include <cmath>

using namespace q9test;

namespace {

struct SliderLog : public Slider::Listener {
    std::vector<std::string> calls;
    void sliderDragStarted(Slider&) override { calls.push_back("started"); }
    void sliderValueChanged(Slider& s) override { calls.push_back("changed " + std::to_string(s.getValue())); }
    void sliderDragEnded(Slider&) override { calls.push_back("ended"); }
};

// The effect's knobs: sensitivity 0.0025 (400 pixels for the range), wheel step 0.01.
struct KnobTree : public ControlTree {
    Knob* knob = nullptr;
    void SetUp() override
    {
        ControlTree::SetUp();
        knob = add(new Knob(), "knob", Rectangle(100, 100, 60, 60));
        knob->setSensitivity(0.0025);
        knob->setWheelStep(0.01f);
        knob->setDefaultValue(0.5);
        knob->setValue(false, 0.5);
    }
};

} // namespace

TEST_F(KnobTree, DragIsVerticalAndShiftReanchorsWithoutAJump)
{
    move(130, 130);
    press(130, 130);
    EXPECT_TRUE(host.locked) << "a knob drag locks the pointer through the window";
    move(170, 90);    // 40 up (and sideways, which a knob ignores)
    EXPECT_NEAR(knob->getValue(), 0.6, 1e-12);

    hold(KeyCodes::shift);
    move(170, 90);    // the first event with Shift held re-anchors where the value is
    EXPECT_NEAR(knob->getValue(), 0.6, 1e-12) << "fine mode must not rescale the travel so far";
    move(170, 50);    // 40 more up at a tenth of the rate
    EXPECT_NEAR(knob->getValue(), 0.61, 1e-12);

    letGo(KeyCodes::shift);
    move(170, 50);
    move(170, 10);    // coarse again from 0.61
    EXPECT_NEAR(knob->getValue(), 0.71, 1e-12);
    move(170, 400);   // far down clamps at the minimum
    EXPECT_EQ(knob->getValue(), 0.0);
    release(170, 400);
    EXPECT_FALSE(host.locked);

    // Starting with Shift held is fine from the first pixel.
    knob->setValue(false, 0.5);
    hold(KeyCodes::shift);
    move(130, 130);
    press(130, 130);
    move(130, 170);
    EXPECT_NEAR(knob->getValue(), 0.49, 1e-12);
    release(130, 170);
}

TEST_F(KnobTree, TheParentHearsOneGesturePerPressWithEveryNotifiedStep)
{
    move(130, 130);
    press(130, 130);
    move(130, 129);
    move(130, 129);    // no change, nothing reported
    move(130, 128);
    release(130, 128);
    const std::vector<std::string> expected{"down knob", "clicked knob 0.5025", "clicked knob 0.5050", "up knob"};
    EXPECT_EQ(panel->log, expected);
}

TEST_F(KnobTree, DoubleClickResetsOnTheSecondPressAsOneGesture)
{
    knob->setValue(false, 0.8);
    click(130, 130);
    panel->log.clear();
    press(130, 130, 2);
    release(130, 130);
    const std::vector<std::string> expected{"down knob", "clicked knob 0.5000", "up knob"};
    EXPECT_EQ(panel->log, expected);

    // Without the flag a double click does nothing; Control-click resets only with bit 1.
    knob->setValue(false, 0.8);
    knob->setResetFlags(0);
    click(130, 130);
    click(130, 130, 2);
    EXPECT_EQ(knob->getValue(), 0.8);
    knob->setResetFlags(Knob::resetOnDoubleClick);
    hold(KeyCodes::control);
    click(130, 130);
    EXPECT_EQ(knob->getValue(), 0.8) << "Control-click is not a reset with flags 1";
    knob->setResetFlags(Knob::resetOnDoubleClick | Knob::resetOnControlClick);
    click(130, 130);
    EXPECT_EQ(knob->getValue(), 0.5);
}

TEST_F(KnobTree, WheelStepsAndTheDisabledKnob)
{
    wheel(130, 130, 1.0f);
    EXPECT_NEAR(knob->getValue(), 0.51, 1e-6);
    wheel(130, 130, -3.0f);    // one step per event, whatever the delta
    EXPECT_NEAR(knob->getValue(), 0.50, 1e-6);
    hold(KeyCodes::shift);
    wheel(130, 130, -1.0f);
    EXPECT_NEAR(knob->getValue(), 0.499, 1e-6);
    letGo(KeyCodes::shift);
    wheel(130, 130, 0.0f);
    EXPECT_NEAR(knob->getValue(), 0.499, 1e-6);

    knob->setEnabled(false);
    move(130, 130);
    press(130, 130);
    move(130, 30);
    release(130, 30);
    EXPECT_NEAR(knob->getValue(), 0.499, 1e-6) << "disabled knobs ignore drags";
    EXPECT_FALSE(host.locked);
    wheel(130, 130, 1.0f);
    EXPECT_NEAR(knob->getValue(), 0.509, 1e-6) << "but still answer the wheel";
}

TEST_F(ControlTree, SetValueClampsAndReturnsEarlyWhenUnchanged)
{
    auto* slider = add(new Slider(), "slider", Rectangle(10, 10, 120, 30));
    SliderLog listener;
    slider->addListener(&listener);
    slider->setValue(true, 1.7);
    slider->setValue(true, 1.5);
    slider->setValue(true, NAN);
    EXPECT_EQ(slider->getValue(), 1.0);
    EXPECT_EQ(slider->getPosition(), 1.0f);
    EXPECT_EQ(listener.calls, std::vector<std::string>{"changed 1.000000"});
    EXPECT_EQ(panel->log, std::vector<std::string>{"clicked slider 1.0000"});
    container.clearRegions();
    slider->setValue(true, 1.0);
    EXPECT_FALSE(container.isDirty()) << "an unchanged value repaints nothing";
    slider->setValue(false, -0.5);
    EXPECT_EQ(slider->getValue(), 0.0);
    EXPECT_EQ(listener.calls.size(), 1u) << "without notify the listeners hear nothing";
}

TEST_F(ControlTree, SliderJumpsDragsAlongItsLengthAndReportsAroundTheDrag)
{
    // 120 x 30: the thumb is 30 wide, so a press at x jumps to (x - 15) / 90.
    auto* slider = add(new Slider(), "slider", Rectangle(10, 10, 120, 30));
    SliderLog listener;
    slider->addListener(&listener);
    move(70, 20);
    press(70, 20);    // slider x 60, beside the thumb at 0..29
    EXPECT_EQ(slider->getValue(), 0.5);
    EXPECT_TRUE(host.locked);
    move(82, 25);     // 12 right of the press: 12 / 120 of the range (vertical travel ignored)
    EXPECT_NEAR(slider->getValue(), 0.6, 1e-12);
    hold(KeyCodes::shift);
    move(82, 25);
    EXPECT_NEAR(slider->getValue(), 0.51, 1e-12) << "a slider's fine mode scales the whole travel";
    letGo(KeyCodes::shift);
    release(82, 25);
    EXPECT_FALSE(host.locked);
    const std::vector<std::string> expected{"changed 0.500000", "started", "changed 0.600000", "changed 0.510000",
                                            "ended"};
    EXPECT_EQ(listener.calls, expected);
}
