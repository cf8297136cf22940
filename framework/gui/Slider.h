#pragma once
#include "framework/gui/AnimatableComponent.h"
#include "framework/gui/Array.h"

namespace q9framework {

/** A linear value control: a track with a round thumb, drawn by the look and feel (drawSlider), laid
    out vertically when it is taller than wide. Knob derives from it for the rotary controls.

    Pointer: a press on the thumb starts a drag; a press beside it jumps the value to the press point
    (the jump uses the horizontal layout) and drags from there. A drag moves the value by the pointer's
    travel along the slider divided by the slider's length (a tenth of that with Shift held), from the
    value at the press. While dragging, the pointer is locked through the window (ComponentsHost), so a
    drag is not stopped by the screen edge. A Control-click sets the default value. The wheel moves the
    value by the wheel step per event (a tenth with Shift). With the keyboard focus and a button held,
    Control sets the default value.

    Reports: listeners hear sliderDragStarted at a dragging press, sliderValueChanged at every notified
    change and sliderDragEnded at the release; the parent hears childClicked at every notified change
    (the component tree adds childMouseDown and childMouseUp around the gesture). With notifyOnRelease,
    drags change the value silently and the listeners (not the parent) hear the final value at the
    release.

    Values are clamped to [minimum, maximum] and never rejected (NaN is ignored); a value equal to the
    current one changes and reports nothing. The thumb and the film-strip position assume the range
    0..1 that every control of this program uses; setMinimum and setMaximum do not re-clamp the value.
    Listeners may remove themselves (or others) while being notified. Main thread only. */
class Slider : public AnimatableComponent {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void sliderDragStarted(Slider& slider) { (void)slider; }
        virtual void sliderValueChanged(Slider& slider) { (void)slider; }
        virtual void sliderDragEnded(Slider& slider) { (void)slider; }
    };

    /** Which listener operation notifyListeners sends. */
    enum Notification { dragStarted, valueChanged, dragEnded };

    /** Takes the keyboard focus when asked (wantsKeyboardFocus), so it can hear Control while held. */
    Slider();
    ~Slider() override;

    /** Clamps, returns when unchanged; otherwise stores the value, moves the film-strip position to
        (value - minimum) / (maximum - minimum) with a repaint and, with notify, tells every listener
        (sliderValueChanged) and then the parent (childClicked). */
    void setValue(bool notify, double value) override;
    double getValue() override;
    /** The look and feel's slider paint bounds for the bounds (grown by the paint margin). */
    Rectangle getPaintBounds() override;
    void mouseMove(const MouseEvent& event) override;
    void mouseDrag(const MouseEvent& event) override;
    void mouseDown(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;
    void mouseExit(const MouseEvent& event) override;
    /** Always consumed, also with a zero vertical delta (which changes nothing). */
    bool mouseWheel(const MouseEvent& event) override;
    /** Control while a button is held on the slider: the default value, notified; consumed. */
    bool keyPressed(const KeyEvent& key) override;
    /** The look and feel's slider with the current value (no film strip). */
    void paint(Painter& painter) override;

    /** Height above width. */
    virtual bool isVertical();
    /** Whether the last pointer position over the slider lies on the thumb. */
    virtual bool isMouseOverThumb();
    /** Vertical: (0, (1 - value)(height - width), width, width); horizontal: ((width - height) value, 0,
        height, height). */
    Rectangle getThumbBounds() const;

    /** Stored only; the current value is not re-clamped. */
    void setMinimum(double newMinimum) noexcept { minimum = newMinimum; }
    void setMaximum(double newMaximum) noexcept { maximum = newMaximum; }
    double getMinimum() const noexcept { return minimum; }
    double getMaximum() const noexcept { return maximum; }
    /** The value a Control-click (and a knob's reset) sets. */
    void setDefaultValue(double newDefault) noexcept { defaultValue = newDefault; }
    double getDefaultValue() const noexcept { return defaultValue; }
    /** Value change per wheel event (0.001 by default). */
    void setWheelStep(float step) noexcept { wheelStep = step; }
    float getWheelStep() const noexcept { return wheelStep; }
    void setNotifyOnRelease(bool onRelease) noexcept { notifyOnRelease = onRelease; }
    bool isDragging() const noexcept { return dragging; }

    /** Duplicates and null are ignored. */
    void addListener(Listener* listener) { listeners.add(listener); }
    bool removeListener(Listener* listener) { return listeners.remove(listener); }
    /** Sends one listener operation to every listener. */
    void notifyListeners(Notification which);

protected:
    /** Modifier state, read through the component tree's held-key set. */
    static bool isShiftDown();
    static bool isControlDown();

    ListenerList<Listener> listeners;
    double minimum = 0.0, maximum = 1.0;
    double value = 0.0;
    double defaultValue = 0.0;
    float wheelStep = 0.001f;
    bool dragging = false;
    bool notifyOnRelease = false;
    Point lastMousePosition{-1, -1};
    double dragStartValue = 0.0;
    bool mouseLocked = false;
};

} // namespace q9framework
