#include "framework/gui/Knob.h"

#include "framework/gui/LookAndFeel.h"

namespace q9framework {

Knob::Knob()
{
    setCursor(Mouse::Cursor(cursorPointingHand));
}

Knob::~Knob() = default;

Rectangle Knob::getPaintBounds()
{
    return getLookAndFeel().getKnobPaintBounds(AnimatableComponent::getPaintBounds());
}

void Knob::mouseMove(const MouseEvent&) {}

void Knob::mouseDown(const MouseEvent& event)
{
    if (!isEnabled())
        return;
    anchorDy = 0;
    fineAtAnchor = isShiftDown();
    bool reset = event.clickCount == 2 && (resetFlags & resetOnDoubleClick) != 0;
    if ((resetFlags & resetOnControlClick) != 0 && event.clickCount == 1 && isControlDown())
        reset = true;
    if (reset)
        setValue(true, defaultValue);
    setMouseLocked(true);
    mouseLocked = true;
    anchorValue = getValue();
}

void Knob::mouseDrag(const MouseEvent& event)
{
    if (!isEnabled())
        return;
    const int32_t dy = event.getOffsetFromDownPosition().y;
    const bool fine = isShiftDown();
    if (fine == fineAtAnchor) {
        double v = (anchorDy - dy) * sensitivity;
        if (fineAtAnchor)
            v *= 0.1;
        setValue(!notifyOnRelease, v + anchorValue);
    } else {
        // Shift changed mid-drag: carry on from here at the new rate instead of rescaling the whole
        // travel, which would make the value jump.
        fineAtAnchor = fine;
        anchorValue = getValue();
        anchorDy = dy;
    }
}

void Knob::mouseUp(const MouseEvent&)
{
    if (mouseLocked) {
        mouseLocked = false;
        setMouseLocked(false);
    }
}

double Knob::getDisplayedValue() const noexcept
{
    if (steps <= 0)
        return value;
    if (steps == 1)
        return 0.0;
    return static_cast<int>((steps - 1) * value + 0.5) / double(steps - 1);
}

void Knob::paint(Painter& painter)
{
    const Colour colour = isColourSpecified(0) ? findColour(0) : Colour(128, 245, 255, 255);
    // Stepped knobs show the nearest step; the value itself stays where the drag left it.
    const double savedValue = value;
    const float savedPosition = position;
    if (steps > 0) {
        value = getDisplayedValue();
        position = static_cast<float>(value);
    }
    if (!strip.isNull())
        AnimatableComponent::paint(painter);
    else
        getLookAndFeel().drawKnob(painter, *this, Rectangle(0, 0, getWidth(), getHeight()), isEnabled(), colour);
    value = savedValue;
    position = savedPosition;
}

} // namespace q9framework
