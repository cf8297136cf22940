#include "framework/gui/Button.h"

#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

#include <memory>

namespace q9framework {

Button::Button(const String& buttonText)
    : MessagePoster(this), text(buttonText), font(Font::getDefaultFont())
{
    setCursor(Mouse::Cursor(cursorPointingHand));
    setRepaintsOn(true, false, true);
}

Button::~Button()
{
    // The base destructor would cancel too, but only after this part is gone; a delivery must never
    // find a half-destroyed button.
    cancelPendingMessages();
}

Rectangle Button::getPaintBounds()
{
    return getLookAndFeel().getButtonPaintBounds(Component::getPaintBounds());
}

void Button::mouseDown(const MouseEvent&)
{
    if (!isEnabled())
        return;
    pressed = true;
    listeners.call([this](Listener& l) { l.buttonPressed(*this); });
    if (triggerOnPress)
        reportClick();
    repaint();
}

void Button::mouseUp(const MouseEvent& event)
{
    if (!isEnabled())
        return;
    repaint();
    pressed = false;
    if (!triggerOnPress && Rectangle(0, 0, getWidth(), getHeight()).contains(event.position)) {
        reportClick();
        if (Component* p = getParent())
            p->childClicked(this);
    }
    listeners.call([this](Listener& l) { l.buttonReleased(*this); });
}

void Button::reportClick()
{
    if (!asyncNotify) {
        listeners.call([this](Listener& l) { l.buttonClicked(*this); });
        return;
    }
    Array<Listener*> copy;
    listeners.call([&copy](Listener& l) { copy.add(&l); });
    postMessage(new ButtonNotificationMessage(*this, std::move(copy)));
}

void Button::handleMessage(Message* message)
{
    std::unique_ptr<Message> owned(message);
    auto* click = dynamic_cast<ButtonNotificationMessage*>(message);
    if (click == nullptr)
        return;
    // The delivery exists so that a listener may destroy the button: the rest are not called then.
    struct DeletionWatch : public Component::Listener {
        bool gone = false;
        void componentBeingDeleted(Component&) override { gone = true; }
    } watch;
    Component::addListener(&watch);
    for (Listener* l : click->listeners) {
        l->buttonClicked(*this);
        if (watch.gone)
            return;
    }
    Component::removeListener(&watch);
}

void Button::paint(Painter& painter)
{
    if (!font.isNull()) {
        // As the painting pass does for the default font: the height in device pixels.
        Font f = font;
        f.setHeight(font.getHeight() * painter.getScale());
        painter.setFont(f);
    }
    LookAndFeel& look = getLookAndFeel();
    const Rectangle area(0, 0, getWidth(), getHeight());
    look.drawButtonBackground(painter, area, isEnabled(), isMouseOver(), pressed);
    look.drawButtonText(painter, area, text, isEnabled(), isMouseOver(), pressed);
}

void Button::setText(const String& newText)
{
    text = newText;
    repaint();
}

void Button::setFont(const Font& newFont)
{
    font = newFont;
    repaint();
}

} // namespace q9framework
