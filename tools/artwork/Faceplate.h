#pragma once
#include "tools/artwork/Canvas.h"

namespace kelvane::artwork {

/** One level mark of a meter dial, in dB relative to full scale. */
struct DialMark {
    double decibels;
    bool major;
    const char* label;   // null: a tick only
};
/** The marks printed on both dials, from -20 to +3 dB. */
const DialMark* dialMarks(int& count);

/** Draws the whole plate without the moving parts of the controls: anodised faceplate, end cheeks
    with the resize grip, screws, the engraved names, both meter dials and every control's print.
    The surface must be panelWidth x panelHeight. */
void drawFaceplate(cairo_surface_t* surface, const Fonts& fonts);

} // namespace kelvane::artwork
