#include "framework/gui/LookAndFeel.h"

#include "framework/gui/Knob.h"
#include "framework/gui/Painter.h"
#include "framework/resources/Image.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace q9framework {

namespace {
// Made lazily on the main thread during the first paint; no lock (single GUI thread). The framework's
// stop replaces it by none (GuiServices.cpp), before the shutdown objects and the font engine go.
std::unique_ptr<LookAndFeel> defaultInstance;

Colour accentColour;    // standard colour 3

Rectangle inset(Rectangle r, int32_t by) noexcept
{
    return {r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by};
}

constexpr int textLeft = Painter::justifyLeft | Painter::justifyVerticallyCentred;    // 5
constexpr int textCentred = Painter::justifyCentred;                                    // 2
} // namespace

LookAndFeel::LookAndFeel() : font(Font::getDefaultFont()) {}

LookAndFeel::~LookAndFeel() = default;

int32_t LookAndFeel::getMetric(int32_t id)
{
    static const int32_t metrics[] = {24, 20, 30, 20, 30, 20, 20};
    return id >= 0 && id < 7 ? metrics[id] : -1;
}

Font LookAndFeel::getDefaultFont()
{
    return font;
}

double LookAndFeel::getDefaultFontHeight()
{
    return font.getHeight();
}

Colour LookAndFeel::getStandardColour(int index)
{
    switch (index) {
    case 0: return Colours::black;
    case 3: return accentColour;
    default: return Colours::white;    // 1, 2, and anything unknown (negative ones included)
    }
}

void LookAndFeel::fillBackground(Painter& painter)
{
    painter.fillAll(getStandardColour(0));
}

void LookAndFeel::drawLabel(Painter& painter, Rectangle area, const String& text, const Font& textFont,
                            Colour colour, int justification, bool enabled, double height)
{
    Font f = textFont;
    if (height > 0.0)
        f.setHeight(height);
    painter.setFont(f);
    painter.drawText(text, area, enabled ? colour : Colours::grey(128), justification);
}

void LookAndFeel::fillWithColour(Painter& painter, Rectangle area, Colour colour)
{
    painter.fillRect(area, colour);
}

void LookAndFeel::drawExpandBox(Painter& painter, Rectangle area, bool expanded)
{
    painter.fillRect(area, Colours::white);
    painter.drawRect(area, Colours::black);
    const int32_t quarter = area.width / 4;
    painter.drawHorizontalLine(area.y + area.height / 2, float(area.x + quarter),
                               float(area.x + area.width - quarter), Colours::black);
    if (!expanded)
        painter.drawVerticalLine(area.x + area.width / 2, Colours::black, float(area.y + quarter),
                                 float(area.y + area.height - quarter));
}

void LookAndFeel::fillRed(Painter& painter, Rectangle area)
{
    painter.fillRect(area, Colours::red);
}

void LookAndFeel::drawIconLabel(Painter& painter, Rectangle area, const String& text, const Image& icon)
{
    painter.drawImageAt(icon, area.getPosition(), true);
    const int32_t shift = icon.getWidth() + area.height / 4;
    painter.drawText(text, Rectangle(area.x + shift, area.y, area.width - shift, area.height), Colours::white,
                     textLeft);
}

void LookAndFeel::drawCustomDecoration(Painter&, Rectangle) {}

Rectangle LookAndFeel::getSliderPaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::drawSlider(Painter& painter, Rectangle area, double value)
{
    const int32_t w = area.width, h = area.height;
    if (h <= w) {
        const int32_t t = h / 6;
        painter.fillRoundedRect(Rectangle(10, h / 2 + area.y - t, w - 20, 2 * t), 4.0f, Colours::red);
        const auto cx = static_cast<int32_t>((w - 20) * value + 10);
        painter.fillCircle(Colours::white, float(cx), float(h / 2 + area.y), float(h / 2));
    } else {
        const int32_t t = w / 6;
        painter.fillRoundedRect(Rectangle(w / 2 + area.x - t, 10, 2 * t, h - 20), 4.0f, Colours::red);
        const auto cy = static_cast<int32_t>((1.0 - value) * (h - 20) + 10);
        painter.fillCircle(Colours::white, float(w / 2 + area.x), float(cy), float(w / 2));
    }
}

Rectangle LookAndFeel::getProgressBarPaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::drawProgressBar(Painter& painter, Rectangle area, const String& text, double progress)
{
    painter.fillRect(area, Colours::black);
    painter.fillRect(Rectangle(0, 0, static_cast<int32_t>(area.width * progress), area.height), Colour(100, 0, 0));
    painter.drawText(text, area, Colours::white, textCentred);
}

Rectangle LookAndFeel::getColumnHeadersPaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::drawColumnHeaders(Painter& painter, Rectangle area, int columnCount, int selected,
                                    const String* names, const int32_t* widths, Colour colour)
{
    constexpr int32_t headerHeight = 20;
    const Rectangle body(area.x, area.y + headerHeight, area.width, area.height - headerHeight);
    painter.fillRect(body, Colours::orange.interpolatedWith(Colours::black, 0.2f));
    painter.drawRect(body, Colours::black);
    if (names == nullptr || widths == nullptr)
        return;
    int32_t x = area.x;
    for (int i = 0; i < columnCount; ++i) {
        const Rectangle cell(x, area.y, widths[i], headerHeight);
        painter.fillRect(cell, i == selected ? colour.withMultipliedBrightness(1.25f) : colour);
        painter.drawRect(cell, Colours::black);
        painter.drawVerticalLine(cell.getRight() - 1, Colours::black, float(body.y), float(body.getBottom()));
        painter.drawText(names[i], cell, Colours::white, textCentred);
        x += widths[i];
    }
}

Rectangle LookAndFeel::getGreyPanelPaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::fillGrey(Painter& painter, Rectangle area)
{
    painter.fillRect(area, Colours::grey(80));
}

Rectangle LookAndFeel::getDrawnButtonPaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::drawButton(Painter& painter, Rectangle area, const String& text, bool enabled, bool over, bool down)
{
    drawButtonBackground(painter, area, enabled, over, down);
    drawButtonText(painter, area, text, enabled, over, down);
}

int LookAndFeel::getButtonTextJustification(int justification)
{
    return justification;
}

int LookAndFeel::getDefaultLabelJustification()
{
    return 0;
}

int LookAndFeel::getDefaultButtonTextJustification()
{
    return textCentred;
}

void LookAndFeel::drawRedFrame(Painter& painter, Rectangle area)
{
    painter.drawRect(area, Colours::red);
    painter.drawRect(inset(area, 1), Colours::red);
}

Rectangle LookAndFeel::getButtonPaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::drawButtonBackground(Painter& painter, Rectangle area, bool, bool over, bool down)
{
    const float brighter = down ? 1.5f : (over ? 1.25f : 1.0f);
    const Colour upper = Colours::grey(81).withMultipliedBrightness(brighter);
    const Colour lower = Colours::grey(74).withMultipliedBrightness(brighter);
    const Rectangle face = inset(area, 1);
    // The lighter upper half over the darker face reads as light from above; the halves meet inside
    // the frame, so the rounded corners stay those of the darker face.
    painter.fillRoundedRect(face, 2.0f, lower);
    painter.fillRect(Rectangle(face.x + 1, face.y + 1, face.width - 2, face.height / 2 - 1), upper);
    painter.drawRoundedRect(face, 2.0f, Colours::grey(128, 230));
}

void LookAndFeel::drawButtonText(Painter& painter, Rectangle area, const String& text, bool, bool, bool)
{
    painter.drawText(text, area, Colours::white, textCentred);
}

void LookAndFeel::drawToggleButton(Painter& painter, Rectangle area, bool, bool over, bool on,
                                   const String& text, int)
{
    const int32_t h = area.height;
    painter.fillRoundedRect(Rectangle(area.x, area.y, h, h), 2.0f, Colours::grey(over ? 150 : 100));
    if (on)
        painter.fillRoundedRect(Rectangle(area.x + 2, area.y + 2, h - 4, h - 4), 2.0f, Colours::orange);
    painter.drawText(text, Rectangle(area.x + h, area.y, 1000, h), Colours::white, textLeft);
}

void LookAndFeel::drawKnob(Painter& painter, Knob& knob, Rectangle area, bool, Colour colour)
{
    const float w = float(area.width), h = float(area.height);
    const float cx = float(area.x) + w / 2, cy = float(area.y) + h / 2;
    painter.fillCircle(colour, cx, cy, h / 2);
    // 3.1415 rather than pi: the pointer of every film strip drawn by this look was placed with it.
    const double a = (knob.getValue() * -270.0 + 585.0) / 180.0 * 3.1415;
    const float ex = float(area.x) + float((std::cos(a) * 0.5 + 0.5) * w);
    const float ey = float(area.y) + float((0.5 - std::sin(a) * 0.5) * h);
    painter.drawLine(cx, cy, ex, ey, Colours::black, std::max(1.5f, std::min(w, h) / 12));
}

Rectangle LookAndFeel::getKnobPaintBounds(Rectangle bounds)
{
    return bounds;
}

Point LookAndFeel::getOffsetHint()
{
    return {0, -7};
}

void LookAndFeel::fillDarkBackground(Painter& painter)
{
    painter.fillAll(Colours::grey(64));
}

void LookAndFeel::layoutTextRow(const Font& textFont, const String* texts, int count, int32_t spacing,
                                int32_t height, Array<Rectangle>& out)
{
    out.clear();
    int32_t x = 0;
    for (int i = 0; i < count && texts != nullptr; ++i) {
        const auto width = static_cast<int32_t>(std::ceil(textFont.getStringWidth(texts[i]))) + spacing;
        out.add(Rectangle(x, 0, width, height));
        x += width;
    }
}

void LookAndFeel::drawTextRow(Painter& painter, const String* texts, const Rectangle* areas, int count)
{
    for (int i = 0; i < count && texts != nullptr && areas != nullptr; ++i)
        painter.drawText(texts[i], areas[i], Colours::white, textCentred);
}

void LookAndFeel::drawPopupMenuBackground(Painter& painter, Rectangle area, uint8_t alpha)
{
    painter.fillRect(area, Colours::grey(45, alpha));
    painter.drawRect(area, Colours::grey(55, alpha));
}

void LookAndFeel::drawPopupMenuItems(Painter& painter, Rectangle area, const String* items, int count,
                                     int32_t itemHeight, int highlighted)
{
    const Colour highlight(244, 153, 63), text = Colours::grey(224), dark = Colours::grey(20);
    for (int i = 0; i < count && items != nullptr; ++i) {
        const Rectangle row(area.x, area.y + i * itemHeight, area.width, itemHeight);
        if (items[i].isEmpty()) {
            painter.drawHorizontalLine(row.y + itemHeight / 2, float(row.x + 4), float(row.getRight() - 4),
                                       text.withAlpha(96));
            continue;
        }
        const bool lit = i == highlighted;
        if (lit)
            painter.fillRect(row, highlight);
        const Rectangle label(row.x + 8, row.y, row.width - 16, row.height);
        painter.drawText(items[i], label, lit ? dark : text, textLeft);
    }
}

Rectangle LookAndFeel::getFramePaintBounds(Rectangle bounds)
{
    return bounds;
}

void LookAndFeel::drawDoubleFrame(Painter& painter, Rectangle area)
{
    painter.drawRect(area, Colours::grey(0, 230));
    painter.drawRect(inset(area, 1), Colours::grey(100));
}

void LookAndFeel::drawEditableText(Painter& painter, Rectangle area, const String& text, int selectionStart,
                                   int selectionEnd, int caret, bool focused)
{
    const Font& f = painter.getFont();
    auto xAt = [&](int characters) {
        return area.x + static_cast<int32_t>(f.getStringWidth(text, std::max(0, characters)));
    };
    if (selectionEnd > selectionStart) {
        const int32_t left = xAt(selectionStart), right = xAt(selectionEnd);
        painter.fillRect(Rectangle(left, area.y, right - left, area.height), Colours::white.withAlpha(focused ? 80 : 60));
    }
    painter.drawText(text, area, Colours::white, textLeft);
    if (focused)
        painter.drawVerticalLine(xAt(caret), Colours::white, float(area.y + 2), float(area.getBottom() - 2));
}

Rectangle LookAndFeel::getScrollBarPaintBounds(Rectangle bounds)
{
    return bounds;
}

int32_t LookAndFeel::getScrollBarThumbLength(int32_t proposed)
{
    return proposed;
}

void LookAndFeel::drawScrollBarBackground(Painter& painter)
{
    painter.fillAll(Colours::black);
}

void LookAndFeel::drawScrollBarThumb(Painter& painter, Rectangle area, bool over, bool down)
{
    drawButtonBackground(painter, area, true, over, down);
}

void LookAndFeel::drawScrollBarButton(Painter& painter, Rectangle area, int direction, bool over, bool down)
{
    const Rectangle face = inset(area, 2);
    drawButtonBackground(painter, face, true, over, down);
    // A chevron a third of the face's smaller side across, its tip towards `direction`.
    const float cx = float(face.x) + float(face.width) / 2, cy = float(face.y) + float(face.height) / 2;
    const float r = float(std::min(face.width, face.height)) / 6;
    float tipX = 0, tipY = 0, sideX = 0, sideY = 0;
    switch (direction) {
    case arrowUp: tipY = -r, sideX = r; break;
    case arrowDown: tipY = r, sideX = r; break;
    case arrowLeft: tipX = -r, sideY = r; break;
    default: tipX = r, sideY = r; break;
    }
    painter.drawLine(cx - tipX - sideX, cy - tipY - sideY, cx + tipX, cy + tipY, Colours::white, 1.5f);
    painter.drawLine(cx - tipX + sideX, cy - tipY + sideY, cx + tipX, cy + tipY, Colours::white, 1.5f);
}

void LookAndFeel::drawTextOnColour(Painter& painter, Rectangle area, const String& text, uint8_t red,
                                   uint8_t green, uint8_t blue, bool selected)
{
    painter.fillRect(area, Colour(red, green, blue, selected ? 255 : 128));
    painter.drawText(text, area, Colours::white, textLeft);
}

void LookAndFeel::fillAreaWithColour(Painter& painter, Rectangle area, Colour colour)
{
    painter.fillRect(area, colour);
}

void LookAndFeel::setAccentColour(Colour colour) noexcept
{
    accentColour = colour;
}

LookAndFeel& getDefaultLookAndFeel()
{
    if (defaultInstance == nullptr)
        defaultInstance = std::make_unique<LookAndFeel>();
    return *defaultInstance;
}

void setDefaultLookAndFeel(LookAndFeel* instance)
{
    if (instance == defaultInstance.get())
        return;
    defaultInstance.reset(instance);
}

} // namespace q9framework
