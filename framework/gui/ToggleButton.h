#pragma once
#include "framework/gui/AnimatableComponent.h"
#include "framework/gui/Array.h"

namespace q9framework {

/** An on/off switch: a film strip (first frame off, last frame on, whatever the frame count; the
    effect's bypass switch has 101) or, without one, the look and feel's toggle button with its text.

    A press on an enabled toggle flips it, notified. Toggles of one parent that share a radio group
    (>= 0) are exclusive: switching one on switches the others off quietly (no notification, no
    childClicked), and clicking the one that is on leaves it on. The value is 1.0 on, 0.0 off;
    setValue switches on at 0.5 and above.
    A notified change tells the listeners (toggleStateChanged) and then the parent (childClicked).
    Listeners may remove themselves while being notified. Main thread only. */
class ToggleButton : public AnimatableComponent {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void toggleStateChanged(ToggleButton& button) { (void)button; }
    };

    /** Cursor: the pointing hand; repaints on hover. */
    explicit ToggleButton(const String& text = String());
    ~ToggleButton() override;

    /** setState(value >= 0.5, notify). */
    void setValue(bool notify, double value) override;
    double getValue() override;
    /** The look and feel's button paint bounds for the film strip's area (or the bounds). */
    Rectangle getPaintBounds() override;
    void mouseDown(const MouseEvent& event) override;
    /** Nothing: a toggle has nothing to animate. */
    void update() override;
    void paint(Painter& painter) override;

    /** Nothing when unchanged. Otherwise stores the state; switching on turns off the other members
        of its radio group among the parent's children; with notify, listeners and then the parent
        hear of it; the strip shows its last frame when on and its first when off. */
    void setState(bool on, bool notify);
    bool getState() const noexcept { return state; }
    /** -1 (the default) is none. */
    void setRadioGroup(int group) noexcept { radioGroup = group; }
    int getRadioGroup() const noexcept { return radioGroup; }
    /** Handed to the look and feel; repaints when it changes. */
    void setStyle(int newStyle);
    int getStyle() const noexcept { return style; }
    void setText(const String& newText);
    const String& getText() const noexcept { return text; }

    /** Duplicates and null are ignored. */
    void addListener(Listener* listener) { listeners.add(listener); }
    bool removeListener(Listener* listener) { return listeners.remove(listener); }

private:
    int style = 0;
    int radioGroup = -1;
    bool state = false;
    String text;
    ListenerList<Listener> listeners;
};

} // namespace q9framework
