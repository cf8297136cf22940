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

}

TEST_F(KnobTree, WheelSteps)
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
