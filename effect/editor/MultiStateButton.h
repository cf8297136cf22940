#pragma once
#include "framework/gui/AnimatableComponent.h"

/** A horizontal selector shown as a film strip, the panel's three-position attack and release time
    switches ("sharp", "mid", "soft"). A press or drag at pointer x sets the value x / width (clamped to
    0..1), moves the strip to it and tells the parent through childClicked, which is how the panel sends
    the value to the host. The host receives the continuous value; the plug-in reads it as one of three
    characters, and the strip shows frame trunc((frames − 1) × value + 0.5), so with 3 frames values
    below 0.25 show the first frame, up to 0.75 the second, from 0.75 the third.

    It has no mouseUp of its own: the parent hears the press and the release through childMouseDown and
    childMouseUp, which bracket the host gesture. It does not check the enabled flag. Its cursor is the
    pointing hand. Main thread only. */
class MultiStateButton : public q9framework::AnimatableComponent {
public:
    MultiStateButton();

    /** Stores the value as given and moves the strip to it (clamped there), repainting. Nobody is
        told, with or without notify: the host's own changes must not echo back. */
    void setValue(bool notify, double newValue) override;
    double getValue() override;
    /** Same as mouseDown: the value follows the pointer, and leaving the button to the left gives 0.0,
        to the right 1.0. */
    void mouseDrag(const q9framework::MouseEvent& event) override;
    /** value = x / width as double, clamped to 0..1 (0 for a button without width); moves the strip and
        calls the parent's childClicked with this button. */
    void mouseDown(const q9framework::MouseEvent& event) override;

private:
    double value = 0.0;
};
