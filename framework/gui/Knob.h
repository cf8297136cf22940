#pragma once
#include "framework/gui/Slider.h"

namespace q9framework {

/** A rotary value control: a Slider that a vertical drag turns, drawn from a film strip (the effect's
    knobs, 101 frames) or by the look and feel (drawKnob, with the colour of id 0 when one is set).

    A press anchors the drag at the current value; dragging up by d pixels adds d times the sensitivity
    (0.01 per pixel by default), a tenth of that while Shift is held. Pressing or releasing Shift during
    a drag re-anchors at the value reached, so coarse and fine travel join without a jump. A double
    click resets to the default value (reset flag bit 0, on by default); a single click with Control
    held does too when bit 1 is set. A reset is notified like any change, so the parent hears
    childMouseDown, childClicked with the default value and childMouseUp: one gesture.

    The wheel and the keyboard behave as the Slider's (a disabled knob still answers the wheel);
    presses and drags are ignored while disabled. The release sends nothing: no sliderDragEnded, no
    deferred value (so with notifyOnRelease a drag reports to nobody). With steps above 0 the knob
    shows the nearest of that many evenly spaced positions, while its value stays continuous.
    Main thread only. */
class Knob : public Slider {
public:
    /** Reset flag bits. */
    enum ResetFlags : unsigned {
        resetOnDoubleClick = 1,
        resetOnControlClick = 2,
    };

    /** Cursor: the pointing hand. */
    Knob();
    ~Knob() override;

    Rectangle getPaintBounds() override;
    /** Nothing: a knob has no thumb to hover. */
    void mouseMove(const MouseEvent& event) override;
    void mouseDrag(const MouseEvent& event) override;
    void mouseDown(const MouseEvent& event) override;
    /** Only lets go of the pointer lock. */
    void mouseUp(const MouseEvent& event) override;
    /** The film-strip frame, or the look and feel's knob, at the displayed (step-rounded) position. */
    void paint(Painter& painter) override;

    /** 0 is continuous; 1 shows the first position only. */
    void setSteps(int numSteps) noexcept { steps = numSteps; }
    int getSteps() const noexcept { return steps; }
    void setResetFlags(unsigned newFlags) noexcept { resetFlags = newFlags; }
    unsigned getResetFlags() const noexcept { return resetFlags; }
    /** Value units per pixel of vertical drag (the effect uses 0.0025: 400 pixels for the range). */
    void setSensitivity(double valuePerPixel) noexcept { sensitivity = valuePerPixel; }
    double getSensitivity() const noexcept { return sensitivity; }
    /** The value as displayed: rounded to the nearest step when steps > 0. */
    double getDisplayedValue() const noexcept;

private:
    unsigned resetFlags = resetOnDoubleClick;
    int steps = 0;
    double sensitivity = 0.01;
    bool fineAtAnchor = false;
    int32_t anchorDy = 0;
    double anchorValue = 0.0;
};

} // namespace q9framework
