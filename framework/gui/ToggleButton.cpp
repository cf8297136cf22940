#include "framework/gui/ToggleButton.h"

#include "framework/gui/LookAndFeel.h"

namespace q9framework {

ToggleButton::ToggleButton(const String& buttonText) : text(buttonText)
{
    setCursor(Mouse::Cursor(cursorPointingHand));
    setRepaintsOn(true, false, false);
}

ToggleButton::~ToggleButton() = default;

void ToggleButton::setValue(bool notify, double value)
{
    setState(value >= 0.5, notify);
}

double ToggleButton::getValue()
{
    return state ? 1.0 : 0.0;
}

Rectangle ToggleButton::getPaintBounds()
{
    return getLookAndFeel().getButtonPaintBounds(AnimatableComponent::getPaintBounds());
}

void ToggleButton::mouseDown(const MouseEvent&)
{
    // The member of a radio group that is on stays on: a group always shows its choice.
    if (isEnabled() && !(state && radioGroup >= 0))
        setState(!state, true);
}

void ToggleButton::update() {}

void ToggleButton::setState(bool on, bool notify)
{
    if (on == state)
        return;
    state = on;
    Component* p = getParent();
    if (on && p != nullptr && radioGroup >= 0) {
        for (int i = 0; i < p->getNumChildren(); ++i) {
            auto* other = dynamic_cast<ToggleButton*>(p->getChild(i));
            if (other != nullptr && other != this && other->radioGroup == radioGroup && other->state) {
                other->state = false;
                other->setPosition(true, 0.0);
            }
        }
    }
    if (notify) {
        listeners.call([this](Listener& l) { l.toggleStateChanged(*this); });
        if (Component* q = getParent())
            q->childClicked(this);
    }
    setPosition(true, on ? 1.0 : 0.0);
}

void ToggleButton::paint(Painter& painter)
{
    if (!strip.isNull()) {
        AnimatableComponent::paint(painter);
        return;
    }
    getLookAndFeel().drawToggleButton(painter, Rectangle(0, 0, getWidth(), getHeight()), isEnabled(),
                                      isMouseOver(), state, text, style);
}

void ToggleButton::setStyle(int newStyle)
{
    if (newStyle == style)
        return;
    style = newStyle;
    repaint();
}

void ToggleButton::setText(const String& newText)
{
    text = newText;
    repaint();
}

} // namespace q9framework
