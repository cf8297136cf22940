#pragma once
#include "framework/gui/Array.h"
#include "framework/gui/Colours.h"
#include "framework/gui/Font.h"
#include "framework/core/Colour.h"
#include "framework/core/Geometry.h"
#include "framework/core/String.h"

#include <cstdint>

namespace q9framework {

class Image;
class Knob;
class Painter;

/** The toolkit's table of default drawing and metrics. A component that has no look and feel of its
    own uses the process-wide default instance; the painting pass takes the default font and its height
    from it before every paint. Every widget that is not drawn from a film strip asks its look and feel
    to draw it (buttons, toggle buttons, sliders, knobs), and widgets this program never creates (popup
    menus, scroll bars, progress bars, column headers, editable text) find their drawing here too, so a
    derived look can restyle them all in one place. A derived class overrides what it wants to look
    different; the declaration order below is the table's order.

    Drawing goes through the Painter of the paint pass, in the component's own coordinates; `area` is
    the component-relative rectangle the widget occupies (usually (0, 0, width, height)). Paint-bounds
    hooks get a component's bounds in its parent's coordinates and return the area the drawing covers;
    the default drawing stays inside the bounds, so they return them unchanged.
    Main thread only; nothing here throws, and null fonts or images simply draw nothing. */
class LookAndFeel {
public:
    /** Directions of a scroll bar's arrow buttons. */
    enum ArrowDirection { arrowUp = 0, arrowDown = 1, arrowLeft = 2, arrowRight = 3 };

    /** The font starts as a copy of the toolkit's default font (a null font without a font engine). */
    LookAndFeel();
    virtual ~LookAndFeel();
    LookAndFeel(const LookAndFeel&) = delete;
    LookAndFeel& operator=(const LookAndFeel&) = delete;

    /** Metrics 0..6: 24, 20, 30, 20, 30, 20, 20; any other id -1. */
    virtual int32_t getMetric(int32_t id);
    virtual Font getDefaultFont();
    /** The default font's height (0 for a null font). */
    virtual double getDefaultFontHeight();
    /** 0 black, 1 and 2 white, 3 the accent colour (setAccentColour; transparent black until set),
        anything else white. */
    virtual Colour getStandardColour(int index);
    /** Fills everything the painter may touch with standard colour 0. */
    virtual void fillBackground(Painter& painter);
    /** The text in `font` (with `height` as its height when above 0), placed by the justification
        flags (Painter::Justification); grey (128) instead of `colour` when not enabled. */
    virtual void drawLabel(Painter& painter, Rectangle area, const String& text, const Font& font, Colour colour,
                           int justification, bool enabled, double height);
    virtual void fillWithColour(Painter& painter, Rectangle area, Colour colour);
    /** A white box with a black frame holding a plus sign, or a minus sign when expanded. */
    virtual void drawExpandBox(Painter& painter, Rectangle area, bool expanded);
    virtual void fillRed(Painter& painter, Rectangle area);
    /** The image at the area's top-left corner and the text in white beside it (left, vertically
        centred), a quarter of the area's height further right. */
    virtual void drawIconLabel(Painter& painter, Rectangle area, const String& text, const Image& icon);
    /** A spare drawing hook for a derived look; draws nothing. */
    virtual void drawCustomDecoration(Painter& painter, Rectangle area);
    virtual Rectangle getSliderPaintBounds(Rectangle bounds);
    /** A red rounded track and a white round thumb; vertical when the area is taller than wide. The
        value is taken as 0..1. */
    virtual void drawSlider(Painter& painter, Rectangle area, double value);
    virtual Rectangle getProgressBarPaintBounds(Rectangle bounds);
    /** Black, the done part (progress 0..1 of the width) dark red, the text centred in white. */
    virtual void drawProgressBar(Painter& painter, Rectangle area, const String& text, double progress);
    virtual Rectangle getColumnHeadersPaintBounds(Rectangle bounds);
    /** A table's header row (20 pixels high) above a framed body. `names` and `widths` hold
        `columnCount` entries each (null draws no cells); the selected column's cell is brighter. */
    virtual void drawColumnHeaders(Painter& painter, Rectangle area, int columnCount, int selected,
                                   const String* names, const int32_t* widths, Colour colour);
    virtual Rectangle getGreyPanelPaintBounds(Rectangle bounds);
    /** Opaque grey 80. */
    virtual void fillGrey(Painter& painter, Rectangle area);
    virtual Rectangle getDrawnButtonPaintBounds(Rectangle bounds);
    /** drawButtonBackground, then drawButtonText. */
    virtual void drawButton(Painter& painter, Rectangle area, const String& text, bool enabled, bool over, bool down);
    /** Lets a look change a button's text placement; returns the justification it is given. */
    virtual int getButtonTextJustification(int justification);
    /** Justification of labels that ask for none (0: top left). */
    virtual int getDefaultLabelJustification();
    /** Justification of button texts that ask for none (2: centred). */
    virtual int getDefaultButtonTextJustification();
    /** A red frame two pixels thick, inside the area. */
    virtual void drawRedFrame(Painter& painter, Rectangle area);
    /** Used by Button and ToggleButton. */
    virtual Rectangle getButtonPaintBounds(Rectangle bounds);
    /** A rounded grey face one pixel inside the area with a translucent grey frame; brighter while
        the pointer is over it and brighter still while pressed. */
    virtual void drawButtonBackground(Painter& painter, Rectangle area, bool enabled, bool over, bool down);
    /** The text centred in white. */
    virtual void drawButtonText(Painter& painter, Rectangle area, const String& text, bool enabled, bool over,
                                bool down);
    /** A square box at the left (lighter while the pointer is over it) holding an orange square when
        on, and the text in white to its right. `enabled` and `style` are for derived looks. */
    virtual void drawToggleButton(Painter& painter, Rectangle area, bool enabled, bool over, bool on,
                                  const String& text, int style);
    /** A disc of `colour` filling the area's height and a pointer from its centre to its edge. The
        pointer sweeps 270 degrees clockwise with the knob's value (0..1): lower left at 0, straight up
        at 0.5, lower right at 1. */
    virtual void drawKnob(Painter& painter, Knob& knob, Rectangle area, bool enabled, Colour colour);
    virtual Rectangle getKnobPaintBounds(Rectangle bounds);
    /** Where a derived look wants attached hints placed relative to their widget: (0, -7). */
    virtual Point getOffsetHint();
    /** Everything the painter may touch in opaque grey 64. */
    virtual void fillDarkBackground(Painter& painter);
    /** Lays a row of `count` texts out left to right from x = 0: each rectangle is the text's width
        in `font` plus `spacing`, `height` high. Replaces the contents of `out`. */
    virtual void layoutTextRow(const Font& font, const String* texts, int count, int32_t spacing, int32_t height,
                               Array<Rectangle>& out);
    /** The texts centred in white, each in its rectangle. */
    virtual void drawTextRow(Painter& painter, const String* texts, const Rectangle* areas, int count);
    /** Dark grey (45) with a lighter frame (55), both at `alpha`. */
    virtual void drawPopupMenuBackground(Painter& painter, Rectangle area, uint8_t alpha);
    /** A menu's items, `itemHeight` pixels each from the area's top; an empty text is a separator line.
        The highlighted item (-1: none) is filled orange with dark text. */
    virtual void drawPopupMenuItems(Painter& painter, Rectangle area, const String* items, int count,
                                    int32_t itemHeight, int highlighted);
    virtual Rectangle getFramePaintBounds(Rectangle bounds);
    /** A translucent black frame with an opaque grey one just inside it. */
    virtual void drawDoubleFrame(Painter& painter, Rectangle area);
    /** One line of editable text in white: the selected characters [selectionStart, selectionEnd) on a
        white highlight (stronger while focused) and, while focused, a caret before character `caret`. */
    virtual void drawEditableText(Painter& painter, Rectangle area, const String& text, int selectionStart,
                                  int selectionEnd, int caret, bool focused);
    virtual Rectangle getScrollBarPaintBounds(Rectangle bounds);
    /** Lets a look change a scroll bar thumb's length; returns the length it is given. */
    virtual int32_t getScrollBarThumbLength(int32_t proposed);
    /** Everything the painter may touch in black. */
    virtual void drawScrollBarBackground(Painter& painter);
    /** The button face (enabled). */
    virtual void drawScrollBarThumb(Painter& painter, Rectangle area, bool over, bool down);
    /** The button face two pixels inside the area and a white arrow pointing in `direction`. */
    virtual void drawScrollBarButton(Painter& painter, Rectangle area, int direction, bool over, bool down);
    /** Filled with the colour (opaque when selected, half transparent otherwise) and the text in white
        at the left, vertically centred. */
    virtual void drawTextOnColour(Painter& painter, Rectangle area, const String& text, uint8_t red, uint8_t green,
                                  uint8_t blue, bool selected);
    virtual void fillAreaWithColour(Painter& painter, Rectangle area, Colour colour);

    /** The process-wide accent colour (standard colour 3). Main thread. */
    static void setAccentColour(Colour colour) noexcept;

protected:
    Font font;
};

/** The process-wide default, created on first use. */
LookAndFeel& getDefaultLookAndFeel();
/** Destroys the current default (if any) and installs `instance`, which the toolkit then owns; null
    goes back to creating a plain one on the next request. Components that have no look and feel of
    their own use the new one from their next paint on. The framework's stop installs null before the
    shutdown objects go, so the default's font is released while the font engine still exists. */
void setDefaultLookAndFeel(LookAndFeel* instance);

} // namespace q9framework
