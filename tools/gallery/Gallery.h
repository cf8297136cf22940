#pragma once
#include "framework/gui/AdapterComponent.h"
#include "framework/gui/Button.h"
#include "framework/gui/Component.h"
#include "framework/gui/Knob.h"
#include "framework/gui/Slider.h"
#include "framework/gui/ToggleButton.h"

#include <functional>

namespace kelvane {

using namespace q9framework;

/** A line of text that follows a value: it asks `source` for its text on every tick and repaints when
    the text changed, so it shows whatever the control holds, however it got there. */
class ValueLabel : public Component {
public:
    /** `fontScale` multiplies the look's default font height. */
    ValueLabel(std::function<String()> source, Colour colour, double fontScale, int justification);
    void update() override;
    void paint(Painter& painter) override;
    const String& getText() const noexcept { return text; }

private:
    std::function<String()> source;
    String text;
    Colour colour;
    double fontScale;
    int justification;
};

/** The default look's controls, one a row with a caption and a live value: a push button (with a
    click count), a toggle, a radio group of three, a slider and a knob. */
class LookSection : public Component, private Button::Listener {
public:
    static constexpr int32_t width = 356, height = 290;
    LookSection();
    void paint(Painter& painter) override;

    Button* button;
    ToggleButton* toggle;
    ToggleButton* radio[3];
    Slider* slider;
    Knob* knob;
    int clicks = 0;

private:
    void buttonClicked(Button&) override { ++clicks; }
};

/** The same kinds of control drawn from film strips the program renders itself: the look's own knob
    and toggle as strips, an arc knob and an LED drawn here, and a row of the arc strip's frames. */
class StripSection : public Component {
public:
    static constexpr int32_t width = 356, height = 290;
    StripSection();
    void paint(Painter& painter) override;

    Knob* lookKnob;
    ToggleButton* lookToggle;
    Knob* arcKnob;
    ToggleButton* led;
};

/** The whole gallery: a title, the two sections side by side and, below them, an AdapterComponent
    showing a second, live copy of the look section at half its size. */
class Gallery : public Component {
public:
    static constexpr int32_t width = 760, height = 596;
    Gallery();
    void paint(Painter& painter) override;
    /** Tab while nothing has the keyboard focus gives it to the first control that takes it (the
        slider); from there on Tab walks the controls as usual. */
    bool keyPressedFirst(const KeyEvent& key) override;

    LookSection* look;
    StripSection* strips;
    AdapterComponent* adapter;
    /** The look section inside the adapter (content coordinates are twice the adapter's). */
    LookSection* halfScale;
};

/** The colours the gallery draws with, all taken from the default look: its background and text
    colours, the face and frame of its panels (the popup menu's) and its "on" orange for headings. */
namespace GalleryColours {
Colour background();
Colour text();
Colour caption();
Colour heading();
} // namespace GalleryColours

} // namespace kelvane
