#pragma once
#include "tools/artwork/Canvas.h"
#include "tools/artwork/PanelLayout.h"

#include <string>
#include <vector>

/** The controls of the panel: their static print (knob scales, labels), which goes into the plate,
    and their moving parts, which are drawn once per film-strip frame over a copy of the plate. Every
    moving part stays inside its control's rectangle, so a frame covers exactly what it changes. */
namespace kelvane::artwork {

struct ScaleMark {
    double value;         // 0..1, the knob value the mark stands for
    bool major;
    std::string label;    // empty: a tick only
};

struct KnobSpec {
    const char* entryName;
    Box box;
    double cx, cy;        // centre of rotation in panel pixels
    double bodyRadius;
    double ringRadius;    // centre line of the lit value ring
    bool bipolar;         // the ring lights from the top (zero) rather than from the start
    const char* title;
    double titleBaseline;
    std::vector<ScaleMark> marks;
};

/** Attack, Drive, Release, Gain, in the panel's child order. */
const std::vector<KnobSpec>& knobSpecs();

void drawKnobScale(cairo_t* cr, const Fonts& fonts, const KnobSpec& knob);
/** The knob body, pointer and lit ring at value 0..1 (the strip frame value / 100). */
void drawKnob(cairo_t* cr, const KnobSpec& knob, double value);

/** The bypass push button with its LED; on = bypassed (button latched in, LED lit). */
void drawBypass(cairo_t* cr, bool on);
/** The drive indicator lamp, glow 0 (dark) to 1 (full red). */
void drawDriveLed(cairo_t* cr, double glow);
/** A three-way time selector showing position 0 (sharp), 1 (mid) or 2 (soft). */
void drawSelector(cairo_t* cr, const Fonts& fonts, const Box& box, int position);

/** The plate print around the small controls: their titles and bezels. */
void drawControlPrint(cairo_t* cr, const Fonts& fonts);

} // namespace kelvane::artwork
