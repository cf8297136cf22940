#include "effect/editor/MultiStateButton.h"

#include "framework/gui/MouseCursor.h"

using namespace q9framework;

MultiStateButton::MultiStateButton()
{
    setCursor(Mouse::Cursor(cursorPointingHand));
}

void MultiStateButton::setValue(bool, double newValue)
{
    value = newValue;
    setPosition(true, static_cast<float>(newValue));
}

double MultiStateButton::getValue()
{
    return value;
}

void MultiStateButton::mouseDrag(const MouseEvent& event)
{
    mouseDown(event);
}

void MultiStateButton::mouseDown(const MouseEvent& event)
{
    double v = getWidth() > 0 ? static_cast<double>(event.position.x) / getWidth() : 0.0;
    if (v < 0.0)
        v = 0.0;
    else if (v > 1.0)
        v = 1.0;
    value = v;
    setPosition(true, static_cast<float>(v));
    if (Component* p = getParent())
        p->childClicked(this);
}
