#include "tools/gallery/Gallery.h"

#include "framework/gui/Colours.h"
#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/FilmStrip.h"
#include "framework/gui/LookAndFeel.h"
#include "framework/gui/Painter.h"

#include <cmath>
#include <cstdio>

namespace kelvane {

namespace {

// One grid for both sections: a heading band, then rows of caption | control | value.
constexpr int32_t headingHeight = 34;
constexpr int32_t firstRow = 44, rowHeight = 48;
constexpr int32_t captionX = 16, captionWidth = 84;
constexpr int32_t controlX = 104, controlWidth = 150;
constexpr int32_t valueX = 268, valueWidth = 76;
// Text sizes as multiples of the look's default font, so everything matches the controls' own text.
constexpr double headingScale = 1.25, textScale = 1.1, titleScale = 2.0;

double fontHeight(double scale)
{
    return getDefaultLookAndFeel().getDefaultFontHeight() * scale;
}
constexpr float pi = 3.14159265f;

Rectangle rowArea(int row, int32_t x, int32_t w, int32_t h)
{
    return {x, firstRow + row * rowHeight + (rowHeight - h) / 2, w, h};
}

String formatValue(double v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", v);
    return String(text);
}

template <typename C>
C* place(Component& parent, C* child, Rectangle area)
{
    child->setBounds(area, false);
    parent.addAndMakeVisible(child);
    return child;
}

/** A section's panel: the popup menu's face and frame, the heading in orange with a rule under it,
    and a caption in front of every row. */
void paintPanel(Painter& painter, const Component& section, const char* heading, const char* const* captions,
                int rows)
{
    LookAndFeel& look = section.getLookAndFeel();
    const Font font = look.getDefaultFont();
    const Rectangle area(0, 0, section.getWidth(), section.getHeight());
    look.drawPopupMenuBackground(painter, area, 255);
    look.drawLabel(painter, Rectangle(captionX, 0, area.width - 2 * captionX, headingHeight), String(heading), font,
                   GalleryColours::heading(), Painter::justifyLeft | Painter::justifyVerticallyCentred, true,
                   fontHeight(headingScale));
    painter.fillRect(Rectangle(captionX, headingHeight, area.width - 2 * captionX, 1), Colours::grey(70));
    for (int i = 0; i < rows; ++i)
        look.drawLabel(painter, rowArea(i, captionX, captionWidth, rowHeight), String(captions[i]), font,
                       GalleryColours::caption(), Painter::justifyLeft | Painter::justifyVerticallyCentred, true,
                       fontHeight(textScale));
}

ValueLabel* valueLabel(Component& parent, int row, std::function<String()> source)
{
    return place(parent,
                 new ValueLabel(std::move(source), GalleryColours::text(), textScale,
                                Painter::justifyLeft | Painter::justifyVerticallyCentred),
                 rowArea(row, valueX, valueWidth, rowHeight));
}

String onOff(ToggleButton* t)
{
    return String(t->getState() ? "on" : "off");
}

/** The arc knob's frame: a grey track over 270 degrees, the part up to the value in orange, and a
    white dot at its end, all within the frame. */
void drawArcFrame(Painter& painter, int32_t size, double position)
{
    const float c = size * 0.5f, r = size * 0.5f - 4.0f;
    const float start = 1.25f * pi, end = start - 1.5f * pi * static_cast<float>(position);
    painter.drawArc(c, c, r, -0.25f * pi, start, Colours::grey(80), 4.0f);
    if (position > 0.0)
        painter.drawArc(c, c, r, end, start, Colours::orange, 4.0f);
    painter.fillCircle(Colours::white, c + std::cos(end) * r, c - std::sin(end) * r, 3.0f);
}

/** The LED's two frames: a dim grey lens when off, the look's orange when on. */
void drawLedFrame(Painter& painter, int32_t size, double position)
{
    const float c = size * 0.5f;
    painter.fillCircle(Colours::grey(30), c, c, c - 1.0f);
    painter.fillCircle(position >= 0.5 ? Colours::orange : Colours::grey(90), c, c, c - 4.0f);
}

constexpr int32_t knobSize = 40, ledSize = 22;

const char* const lookCaptions[5] = {"Button", "Toggle", "Radio", "Slider", "Knob"};
const char* const stripCaptions[5] = {"Knob", "Toggle", "Arc knob", "LED", "Arc frames"};

} // namespace

namespace GalleryColours {
Colour background() { return getDefaultLookAndFeel().getStandardColour(0); }
Colour text() { return getDefaultLookAndFeel().getStandardColour(1); }
Colour caption() { return Colours::grey(224); }
Colour heading() { return Colours::orange; }
} // namespace GalleryColours

//==================================================================================================

ValueLabel::ValueLabel(std::function<String()> textSource, Colour textColour, double scale, int justify)
    : source(std::move(textSource)), colour(textColour), fontScale(scale), justification(justify)
{
    setInterceptsMouse(false);
    text = source();
}

void ValueLabel::update()
{
    const String now = source();
    if (now == text)
        return;
    text = now;
    repaint();
}

void ValueLabel::paint(Painter& painter)
{
    LookAndFeel& look = getLookAndFeel();
    look.drawLabel(painter, Rectangle(0, 0, getWidth(), getHeight()), text, look.getDefaultFont(), colour,
                   justification, true, look.getDefaultFontHeight() * fontScale);
}

//==================================================================================================

LookSection::LookSection()
{
    setBounds(Rectangle(0, 0, width, height), false);
    setOpaque(true);

    button = place(*this, new Button(String("Click me")), rowArea(0, controlX, controlWidth, 28));
    button->addListener(this);
    valueLabel(*this, 0, [this] { return String(clicks) + String(clicks == 1 ? " click" : " clicks"); });

    toggle = place(*this, new ToggleButton(String("Enabled")), rowArea(1, controlX, controlWidth, 22));
    valueLabel(*this, 1, [this] { return onOff(toggle); });

    const char* modes[3] = {"Low", "Mid", "High"};
    for (int i = 0; i < 3; ++i) {
        radio[i] = place(*this, new ToggleButton(String(modes[i])), rowArea(2, controlX + i * 52, 50, 20));
        radio[i]->setRadioGroup(1);
    }
    radio[1]->setState(true, false);
    valueLabel(*this, 2, [this] {
        for (ToggleButton* r : radio)
            if (r->getState())
                return r->getText();
        return String("none");
    });

    slider = place(*this, new Slider(), rowArea(3, controlX, controlWidth, 24));
    slider->setWheelStep(0.05f);
    slider->setValue(false, 0.25);
    valueLabel(*this, 3, [this] { return formatValue(slider->getValue()); });

    knob = place(*this, new Knob(), rowArea(4, controlX, knobSize, knobSize));
    knob->setDefaultValue(0.5);
    knob->setWheelStep(0.05f);
    knob->setValue(false, 0.5);
    valueLabel(*this, 4, [this] { return formatValue(knob->getValue()); });
}

void LookSection::paint(Painter& painter)
{
    paintPanel(painter, *this, "Default look and feel", lookCaptions, 5);
}

//==================================================================================================

StripSection::StripSection()
{
    setBounds(Rectangle(0, 0, width, height), false);
    setOpaque(true);
    LookAndFeel& look = getDefaultLookAndFeel();

    lookKnob = place(*this, new Knob(), rowArea(0, controlX, knobSize, knobSize));
    lookKnob->setFilmStrip(FilmStrip::renderKnob(look, 101, knobSize, knobSize, Colour(128, 245, 255)), 101);
    lookKnob->setWheelStep(0.05f);
    lookKnob->setValue(false, 0.3);
    valueLabel(*this, 0, [this] { return formatValue(lookKnob->getValue()); });

    lookToggle = place(*this, new ToggleButton(), rowArea(1, controlX, controlWidth, 22));
    lookToggle->setFilmStrip(FilmStrip::renderToggle(look, 2, controlWidth, 22, String("Bypass")), 2);
    lookToggle->setState(true, false);
    valueLabel(*this, 1, [this] { return onOff(lookToggle); });

    const Image arc = FilmStrip::render(101, knobSize, knobSize,
                                        [](Painter& p, double position) { drawArcFrame(p, knobSize, position); });
    arcKnob = place(*this, new Knob(), rowArea(2, controlX, knobSize, knobSize));
    arcKnob->setFilmStrip(arc, 101);
    arcKnob->setWheelStep(0.05f);
    arcKnob->setValue(false, 0.7);
    valueLabel(*this, 2, [this] { return formatValue(arcKnob->getValue()); });

    led = place(*this, new ToggleButton(), rowArea(3, controlX, ledSize, ledSize));
    led->setFilmStrip(FilmStrip::render(2, ledSize, ledSize, [](Painter& p, double position) {
                          drawLedFrame(p, ledSize, position);
                      }),
                      2);
    valueLabel(*this, 3, [this] { return onOff(led); });

    // Five frames of the arc strip, first to last, as the strip holds them.
    for (int i = 0; i < 5; ++i) {
        auto* frame = place(*this, new AnimatableComponent(), rowArea(4, controlX + i * (knobSize + 8), knobSize, knobSize));
        frame->setFilmStrip(arc, 101);
        frame->setPosition(false, i / 4.0);
        frame->setInterceptsMouse(false);
    }
}

void StripSection::paint(Painter& painter)
{
    paintPanel(painter, *this, "Film strips drawn by the program", stripCaptions, 5);
}

//==================================================================================================

namespace {

/** The adapter section's panel with its explanation beside the half-scale copy. */
class AdapterPanel : public Component {
public:
    void paint(Painter& painter) override
    {
        LookAndFeel& look = getLookAndFeel();
        const Font font = look.getDefaultFont();
        const Rectangle area(0, 0, getWidth(), getHeight());
        look.drawPopupMenuBackground(painter, area, 255);
        look.drawLabel(painter, Rectangle(captionX, 0, area.width - 2 * captionX, headingHeight),
                       String("AdapterComponent at half scale"), font, GalleryColours::heading(),
                       Painter::justifyLeft | Painter::justifyVerticallyCentred, true, fontHeight(headingScale));
        painter.fillRect(Rectangle(captionX, headingHeight, area.width - 2 * captionX, 1), Colours::grey(70));
        const char* lines[4] = {
            "A second, live copy of the left section (356 x 290 pixels)",
            "paints into a container of its own; the adapter resamples",
            "its picture to 178 x 145. Pointer events reach its controls",
            "through the inverse scale. Its values:",
        };
        for (int i = 0; i < 4; ++i)
            look.drawLabel(painter, Rectangle(textX, 48 + i * 22, area.width - textX - captionX, 22),
                           String(lines[i]), font, GalleryColours::caption(),
                           Painter::justifyLeft | Painter::justifyVerticallyCentred, true, fontHeight(textScale));
    }
    static constexpr int32_t textX = 16 + 178 + 24;
};

} // namespace

Gallery::Gallery()
{
    setBounds(Rectangle(0, 0, width, height), false);
    setOpaque(true);

    look = place(*this, new LookSection(), Rectangle(16, 72, LookSection::width, LookSection::height));
    strips = place(*this, new StripSection(), Rectangle(388, 72, StripSection::width, StripSection::height));

    auto* adapterPanel = place(*this, new AdapterPanel(), Rectangle(16, 378, 728, 202));
    adapter = place(*adapterPanel, new AdapterComponent(),
                    Rectangle(16, 46, LookSection::width / 2, LookSection::height / 2));
    halfScale = new LookSection();
    adapter->setContent(halfScale);
    place(*adapterPanel,
          new ValueLabel(
              [this] {
                  return String("Slider ") + formatValue(halfScale->slider->getValue()) + String("   Knob ")
                         + formatValue(halfScale->knob->getValue()) + String("   Clicks ") + String(halfScale->clicks);
              },
              GalleryColours::text(), textScale, Painter::justifyLeft | Painter::justifyVerticallyCentred),
          Rectangle(AdapterPanel::textX, 48 + 4 * 22, 400, 22));
}

void Gallery::paint(Painter& painter)
{
    LookAndFeel& laf = getLookAndFeel();
    const Font font = laf.getDefaultFont();
    painter.fillRect(Rectangle(0, 0, getWidth(), getHeight()), GalleryColours::background(), false);
    laf.drawLabel(painter, Rectangle(16, 10, 500, 34), String("Kelvane widget gallery"), font,
                   GalleryColours::text(), Painter::justifyLeft | Painter::justifyVerticallyCentred, true,
                   fontHeight(titleScale));
    laf.drawLabel(painter, Rectangle(16, 44, getWidth() - 32, 20),
                   String("Every control of the toolkit in its default look and feel, as film strips, and scaled."),
                   font, GalleryColours::caption(), Painter::justifyLeft | Painter::justifyVerticallyCentred, true,
                   fontHeight(textScale));
}

} // namespace kelvane

namespace kelvane {

bool Gallery::keyPressedFirst(const KeyEvent& key)
{
    ComponentsContainer* const tree = getContainer();
    if (key.keyCode != KeyCodes::tab || tree == nullptr || tree->getFocus() != nullptr)
        return false;
    tree->moveFocusToNext();
    return true;
}

} // namespace kelvane
