#include "framework/gui/Slider.h"

#include "framework/gui/LookAndFeel.h"

#include <algorithm>
#include <cmath>

namespace q9framework {

Slider::Slider()
{
    setWantsKeyboardFocus(true);
}

Slider::~Slider() = default;

bool Slider::isShiftDown()
{
    return isKeyDown(KeyCodes::shift);
}

bool Slider::isControlDown()
{
    return isKeyDown(KeyCodes::control);
}

void Slider::setValue(bool notify, double v)
{
    if (std::isnan(v))
        return;
    v = v < minimum ? minimum : std::min(maximum, v);
    // Host refreshes resend the same value all the time: they must cost nothing and report nothing.
    if (v == value)
        return;
    value = v;
    setPosition(true, static_cast<float>((v - minimum) / (maximum - minimum)));
    if (notify) {
        notifyListeners(valueChanged);
        if (Component* p = getParent())
            p->childClicked(this);
    }
}

double Slider::getValue()
{
    return value;
}

Rectangle Slider::getPaintBounds()
{
    return getLookAndFeel().getSliderPaintBounds(Component::getPaintBounds());
}

bool Slider::isVertical()
{
    return getHeight() > getWidth();
}

Rectangle Slider::getThumbBounds() const
{
    const int32_t w = getWidth(), h = getHeight();
    if (h > w)
        return {0, static_cast<int32_t>((1.0 - value) * (h - w)), w, w};
    return {static_cast<int32_t>((w - h) * value), 0, h, h};
}

bool Slider::isMouseOverThumb()
{
    return getThumbBounds().contains(lastMousePosition);
}

void Slider::notifyListeners(Notification which)
{
    listeners.call([&](Listener& l) {
        switch (which) {
        case dragStarted: l.sliderDragStarted(*this); break;
        case valueChanged: l.sliderValueChanged(*this); break;
        case dragEnded: l.sliderDragEnded(*this); break;
        }
    });
}

void Slider::mouseDown(const MouseEvent& event)
{
    if (isControlDown()) {
        setValue(true, defaultValue);
        return;
    }
    // The pointer's last move already put it at the press point; taking the press point itself also
    // covers a press that no move preceded.
    lastMousePosition = event.position;
    dragging = isMouseOverThumb();
    if (!dragging) {
        // A press beside the thumb jumps the thumb's centre to the press point and drags from there.
        const double span = getWidth() - getHeight();
        if (span > 0)
            setValue(true, (event.position.x - getHeight() * 0.5) / span);
        dragging = true;
    }
    dragStartValue = value;
    if (dragging) {
        setMouseLocked(true);
        mouseLocked = true;
        notifyListeners(dragStarted);
    }
    repaint();
}

void Slider::mouseDrag(const MouseEvent& event)
{
    if (!dragging)
        return;
    const Point offset = event.getOffsetFromDownPosition();
    const bool vertical = isVertical();
    const double travel = vertical ? -offset.y : offset.x;
    const double length = vertical ? getHeight() : getWidth();
    double v = travel / length;
    if (isShiftDown())
        v *= 0.1;
    setValue(!notifyOnRelease, dragStartValue + v);
}

void Slider::mouseUp(const MouseEvent&)
{
    if (dragging) {
        if (notifyOnRelease)
            notifyListeners(valueChanged);
        notifyListeners(dragEnded);
        dragging = false;
    }
    // The window ends a lock at every release; saying so here keeps hosts that do not in step.
    if (mouseLocked) {
        mouseLocked = false;
        setMouseLocked(false);
    }
    repaint();
}

void Slider::mouseMove(const MouseEvent& event)
{
    const bool wasOver = isMouseOverThumb();
    lastMousePosition = event.position;
    const bool over = isMouseOverThumb();
    setCursor(over ? Mouse::Cursor(cursorPointingHand) : Mouse::Cursor(cursorArrow));
    if (over != wasOver)
        repaint();
}

void Slider::mouseExit(const MouseEvent&)
{
    lastMousePosition = Point(-1, -1);
    repaint();
}

bool Slider::mouseWheel(const MouseEvent& event)
{
    double step = wheelStep;
    if (isShiftDown())
        step *= 0.1;
    if (event.wheelY > 0.0f)
        setValue(true, value + step);
    else if (event.wheelY < 0.0f)
        setValue(true, value - step);
    return true;
}

bool Slider::keyPressed(const KeyEvent& key)
{
    if (isMouseButtonDown() && key.keyCode == KeyCodes::control) {
        setValue(true, defaultValue);
        return true;
    }
    return false;
}

void Slider::paint(Painter& painter)
{
    getLookAndFeel().drawSlider(painter, Rectangle(0, 0, getWidth(), getHeight()), value);
}

} // namespace q9framework
