#include "tools/artwork/ControlArt.h"

#include <algorithm>
#include <cmath>

namespace kelvane::artwork {

namespace {

const Rgb amber = rgb(255, 172, 64);
const Rgb amberCore = rgb(255, 226, 170);
const Rgb printGrey = grey(150);

std::vector<ScaleMark> percentMarks(bool bipolar)
{
    std::vector<ScaleMark> marks;
    const int steps = bipolar ? 20 : 10;
    for (int k = 0; k <= steps; ++k) {
        const bool major = k % 5 == 0;
        std::string label;
        // The ends and the middle only: side labels would run into the neighbouring knob's scale.
        if (k == 0 || k == steps || k * 2 == steps) {
            const int percent = bipolar ? k * 10 - 100 : k * 10;
            label = (bipolar && percent > 0 ? "+" : "") + std::to_string(percent);
        }
        marks.push_back({static_cast<double>(k) / steps, major, label});
    }
    return marks;
}

std::vector<ScaleMark> gainMarks()
{
    std::vector<ScaleMark> marks;
    for (int db = -9; db <= 9; ++db) {
        const bool major = db % 3 == 0;
        std::string label;
        if (major && std::abs(db) != 6)
            label = (db > 0 ? "+" : "") + std::to_string(db);
        marks.push_back({(db + 9) / 18.0, major, label});
    }
    return marks;
}

/** A point at distance r from the knob centre in the direction of a knob value. */
void knobPoint(const KnobSpec& k, double value, double r, double& x, double& y)
{
    const double a = knobAngle(value);
    x = k.cx + std::cos(a) * r;
    y = k.cy - std::sin(a) * r;
}

/** cairo angles run clockwise from +x with y down; knob angles counter-clockwise with y up. */
double cairoAngle(double value) { return -knobAngle(value); }

void litArc(cairo_t* cr, double cx, double cy, double r, double from, double to)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const struct {
        double width, alpha;
        Rgb colour;
    } layers[] = {{12.0, 0.08, amber}, {8.0, 0.18, amber}, {4.6, 1.0, amber}, {1.6, 0.85, amberCore}};
    for (const auto& layer : layers) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r, from, to);
        cairo_set_line_width(cr, layer.width);
        setColour(cr, layer.colour, layer.alpha);
        cairo_stroke(cr);
    }
}

void lens(cairo_t* cr, double cx, double cy, double r, Rgb off, Rgb lit, double glow)
{
    if (glow > 0.0) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, r * 0.6, cx, cy, r * 2.15);
        cairo_pattern_add_color_stop_rgba(halo, 0.0, lit.r, lit.g, lit.b, 0.55 * glow);
        cairo_pattern_add_color_stop_rgba(halo, 0.45, lit.r, lit.g, lit.b, 0.18 * glow);
        cairo_pattern_add_color_stop_rgba(halo, 1.0, lit.r, lit.g, lit.b, 0.0);
        cairo_set_source(cr, halo);
        cairo_arc(cr, cx, cy, r * 2.15, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    const Rgb body = mix(off, lit, glow);
    const Rgb hot = mix(body, rgb(255, 236, 210), glow * glow * 0.85);
    cairo_pattern_t* fill = cairo_pattern_create_radial(cx - r * 0.2, cy - r * 0.25, 0.0, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(fill, 0.0, hot.r, hot.g, hot.b);
    cairo_pattern_add_color_stop_rgb(fill, 0.55, body.r, body.g, body.b);
    const Rgb rim = mix(body, grey(0), 0.45);
    cairo_pattern_add_color_stop_rgb(fill, 1.0, rim.r, rim.g, rim.b);
    cairo_set_source(cr, fill);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    // The dome's reflection of the room light.
    cairo_save(cr);
    cairo_translate(cr, cx - r * 0.32, cy - r * 0.42);
    cairo_scale(cr, r * 0.42, r * 0.26);
    cairo_pattern_t* shine = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(shine, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(shine, 1, 1, 1, 1, 0);
    cairo_set_source(cr, shine);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(shine);
    cairo_restore(cr);
}

void chromeBezel(cairo_t* cr, double cx, double cy, double outer, double inner)
{
    cairo_pattern_t* ring = cairo_pattern_create_linear(cx, cy - outer, cx, cy + outer);
    cairo_pattern_add_color_stop_rgb(ring, 0.0, 0.78, 0.79, 0.81);
    cairo_pattern_add_color_stop_rgb(ring, 0.5, 0.36, 0.37, 0.40);
    cairo_pattern_add_color_stop_rgb(ring, 1.0, 0.62, 0.63, 0.66);
    cairo_set_source(cr, ring);
    cairo_arc(cr, cx, cy, outer, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    setColour(cr, grey(6));
    cairo_arc(cr, cx, cy, inner, 0, 2 * M_PI);
    cairo_fill(cr);
}

} // namespace

const std::vector<KnobSpec>& knobSpecs()
{
    static const std::vector<KnobSpec> specs = {
        {"slice_knbAttack", attackKnobBox, 573.5, 195.0, 34.0, 43.0, true, "ATTACK", 121.0, percentMarks(true)},
        {"slice_knbDrive", driveKnobBox, 695.5, 166.0, 26.0, 33.5, false, "DRIVE", 103.0, percentMarks(false)},
        {"slice_knbRelease", releaseKnobBox, 816.5, 195.0, 34.0, 43.0, true, "RELEASE", 121.0, percentMarks(true)},
        {"slice_knbGain", gainKnobBox, 939.0, 166.0, 26.0, 33.5, true, "GAIN", 103.0, gainMarks()},
    };
    return specs;
}

void drawKnobScale(cairo_t* cr, const Fonts& fonts, const KnobSpec& k)
{
    const double tickStart = k.ringRadius + 6.0;
    // The value ring's unlit groove, machined into the plate.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    cairo_arc(cr, k.cx, k.cy, k.ringRadius, cairoAngle(0.0), cairoAngle(1.0));
    cairo_set_line_width(cr, 6.5);
    setColour(cr, grey(8));
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, k.cx, k.cy + 0.8, k.ringRadius, cairoAngle(0.0), cairoAngle(1.0));
    cairo_set_line_width(cr, 4.2);
    setColour(cr, rgb(52, 34, 14));
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);

    for (const ScaleMark& m : k.marks) {
        double x0, y0, x1, y1;
        knobPoint(k, m.value, tickStart, x0, y0);
        knobPoint(k, m.value, tickStart + (m.major ? 6.0 : 3.5), x1, y1);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, m.major ? 1.8 : 1.1);
        setColour(cr, m.major ? grey(214) : printGrey);
        cairo_stroke(cr);
    }
    const bool big = k.bodyRadius > 30.0;
    fonts.select(cr, Fonts::bold, big ? 11.5 : 10.5, 0.86);
    for (const ScaleMark& m : k.marks) {
        if (m.label.empty())
            continue;
        double x, y;
        knobPoint(k, m.value, tickStart + (big ? 16.0 : 14.5) + (m.label.size() > 2 ? 3.0 : 0.0), x, y);
        setColour(cr, grey(196));
        drawTextCentred(cr, m.label, x, y);
    }
    // The unit sits in the gap at the bottom of the scale.
    const bool decibels = std::string(k.title) == "GAIN";
    fonts.select(cr, Fonts::bold, big ? 12.0 : 11.0);
    setColour(cr, printGrey);
    drawTextCentred(cr, decibels ? "dB" : "%", k.cx, k.cy + k.ringRadius + 4.0);

    fonts.select(cr, Fonts::bold, 16.0);
    engrave(cr, k.title, k.cx, k.titleBaseline, Align::centre, 2.5);

    // The knob's shadow on the plate, soft and cast downwards.
    for (int i = 0; i < 8; ++i) {
        setColour(cr, grey(0), 0.07);
        cairo_arc(cr, k.cx + 0.5, k.cy + 3.5, k.bodyRadius + 5.0 - i * 0.8, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void drawKnob(cairo_t* cr, const KnobSpec& k, double value)
{
    // The lit value ring: from zero (top) on bipolar knobs, from the start otherwise.
    const double origin = k.bipolar ? 0.5 : 0.0;
    if (std::abs(value - origin) > 1e-9)
        litArc(cr, k.cx, k.cy, k.ringRadius, cairoAngle(std::min(origin, value)), cairoAngle(std::max(origin, value)));
    else
        litArc(cr, k.cx, k.cy, k.ringRadius, cairoAngle(origin) - 0.01, cairoAngle(origin) + 0.01);

    const double r = k.bodyRadius;
    const double turn = cairoAngle(value);
    // Skirt: dark, knurled at the edge; the knurls turn with the knob.
    cairo_pattern_t* skirt = cairo_pattern_create_linear(k.cx, k.cy - r, k.cx, k.cy + r);
    cairo_pattern_add_color_stop_rgb(skirt, 0.0, 0.25, 0.255, 0.27);
    cairo_pattern_add_color_stop_rgb(skirt, 1.0, 0.07, 0.07, 0.08);
    cairo_set_source(cr, skirt);
    cairo_arc(cr, k.cx, k.cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    const int knurls = static_cast<int>(r * 1.9);
    cairo_set_line_width(cr, 1.3);
    for (int i = 0; i < knurls; ++i) {
        const double a = turn + i * 2 * M_PI / knurls;
        // Facing the light (above) the ridges catch it; below they stay dark.
        const double lightness = 0.5 - 0.5 * std::sin(a);
        cairo_move_to(cr, k.cx + std::cos(a) * (r - 4.5), k.cy + std::sin(a) * (r - 4.5));
        cairo_line_to(cr, k.cx + std::cos(a) * (r - 0.6), k.cy + std::sin(a) * (r - 0.6));
        setColour(cr, grey(255), 0.05 + 0.16 * lightness);
        cairo_stroke(cr);
    }
    setColour(cr, grey(0), 0.6);
    cairo_set_line_width(cr, 1.0);
    cairo_arc(cr, k.cx, k.cy, r - 0.5, 0, 2 * M_PI);
    cairo_stroke(cr);

    // Cap: spun aluminium, lit from above.
    const double capR = r - 6.0;
    cairo_pattern_t* cap = cairo_pattern_create_linear(k.cx, k.cy - capR, k.cx, k.cy + capR);
    cairo_pattern_add_color_stop_rgb(cap, 0.0, 0.56, 0.57, 0.60);
    cairo_pattern_add_color_stop_rgb(cap, 0.55, 0.30, 0.31, 0.33);
    cairo_pattern_add_color_stop_rgb(cap, 1.0, 0.18, 0.185, 0.20);
    cairo_set_source(cr, cap);
    cairo_arc(cr, k.cx, k.cy, capR, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    Noise rings(static_cast<uint64_t>(k.cx * 7 + k.cy));
    cairo_set_line_width(cr, 0.9);
    for (double rr = 1.5; rr < capR - 0.5; rr += 0.9) {
        const double n = rings.next();
        setColour(cr, n > 0 ? grey(255) : grey(0), std::abs(n) * 0.07);
        cairo_arc(cr, k.cx, k.cy, rr, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    cairo_pattern_t* shine = cairo_pattern_create_radial(k.cx - capR * 0.35, k.cy - capR * 0.5, 0, k.cx - capR * 0.35,
                                                         k.cy - capR * 0.5, capR * 1.1);
    cairo_pattern_add_color_stop_rgba(shine, 0.0, 1, 1, 1, 0.32);
    cairo_pattern_add_color_stop_rgba(shine, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, shine);
    cairo_arc(cr, k.cx, k.cy, capR, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(shine);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, grey(0), 0.55);
    cairo_arc(cr, k.cx, k.cy, capR, 0, 2 * M_PI);
    cairo_stroke(cr);
    setColour(cr, grey(255), 0.22);
    cairo_arc(cr, k.cx, k.cy, capR - 1.1, M_PI * 1.1, M_PI * 1.9);
    cairo_stroke(cr);

    // Pointer: a lit line from near the centre to the skirt.
    double x0, y0, x1, y1;
    knobPoint(k, value, capR * 0.3, x0, y0);
    knobPoint(k, value, r - 1.5, x1, y1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const struct {
        double width, alpha;
        Rgb colour;
    } layers[] = {{7.0, 0.12, amber}, {4.0, 0.35, amber}, {2.4, 1.0, amberCore}};
    for (const auto& layer : layers) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, layer.width);
        setColour(cr, layer.colour, layer.alpha);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void drawBypass(cairo_t* cr, bool on)
{
    const Box& b = bypassBox;
    const double cx = b.centreX();
    lens(cr, cx, b.y + 10.5, 5.4, rgb(70, 16, 10), rgb(255, 60, 30), on ? 1.0 : 0.0);

    // The latching cap: up when off, pressed in (lower, shorter shadow, darker) when on.
    const double w = 58.0, h = 27.0;
    const double x = cx - w / 2, y = b.y + 23.5 + (on ? 1.5 : 0.0);
    const double shadowDepth = on ? 1.5 : 4.0;
    for (int i = 0; i < 5; ++i) {
        roundedRectangle(cr, x - 1 + i * 0.3, y + shadowDepth - 1 + i * 0.4, w + 2 - i * 0.6, h + 1 - i * 0.5, 5.0);
        setColour(cr, grey(0), 0.14);
        cairo_fill(cr);
    }
    cairo_pattern_t* cap = cairo_pattern_create_linear(0, y, 0, y + h);
    const double top = on ? 0.30 : 0.42;
    cairo_pattern_add_color_stop_rgb(cap, 0.0, top, top + 0.005, top + 0.02);
    cairo_pattern_add_color_stop_rgb(cap, 1.0, 0.12, 0.125, 0.135);
    roundedRectangle(cr, x, y, w, h, 4.5);
    cairo_set_source(cr, cap);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(cap);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, grey(0), 0.7);
    cairo_stroke(cr);
    roundedRectangle(cr, x + 1.5, y + 1.2, w - 3, h - 2.4, 3.5);
    setColour(cr, grey(255), on ? 0.07 : 0.14);
    cairo_stroke(cr);
    // Fine horizontal lines on the cap face, for grip.
    for (double ly = y + 7; ly < y + h - 5; ly += 3.0) {
        cairo_move_to(cr, x + 8, ly + 0.5);
        cairo_line_to(cr, x + w - 8, ly + 0.5);
        setColour(cr, grey(0), 0.28);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        cairo_move_to(cr, x + 8, ly + 1.5);
        cairo_line_to(cr, x + w - 8, ly + 1.5);
        setColour(cr, grey(255), 0.05);
        cairo_stroke(cr);
    }
}

void drawDriveLed(cairo_t* cr, double glow)
{
    const Box& b = driveLedBox;
    lens(cr, b.centreX(), b.centreY(), 8.5, rgb(66, 12, 9), rgb(255, 44, 22), glow);
}

void drawSelector(cairo_t* cr, const Fonts& fonts, const Box& b, int position)
{
    static const char* const words[3] = {"SHARP", "MID", "SOFT"};
    const double segment = b.w / 3.0;
    // Housing: a dark recess with light catching its lower lip.
    roundedRectangle(cr, b.x + 0.5, b.y + 0.5, b.w - 1.0, b.h - 1.0, 6.0);
    setColour(cr, grey(12));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, b.y, 0, b.bottom());
    cairo_pattern_add_color_stop_rgba(lip, 0.0, 0, 0, 0, 0.8);
    cairo_pattern_add_color_stop_rgba(lip, 1.0, 1, 1, 1, 0.16);
    cairo_set_source(cr, lip);
    cairo_stroke(cr);
    cairo_pattern_destroy(lip);

    for (int i = 1; i < 3; ++i) {
        const double x = std::round(b.x + segment * i) + 0.5;
        cairo_move_to(cr, x, b.y + 6);
        cairo_line_to(cr, x, b.bottom() - 6);
        setColour(cr, grey(48));
        cairo_stroke(cr);
    }

    const double sx = b.x + segment * position + 3.0, sy = b.y + 3.0, sw = segment - 6.0, sh = b.h - 6.0;
    for (int i = 0; i < 3; ++i) {
        roundedRectangle(cr, sx - 2 + i, sy - 2 + i, sw + 4 - 2 * i, sh + 4 - 2 * i, 5.0);
        setColour(cr, amber, 0.10);
        cairo_fill(cr);
    }
    cairo_pattern_t* lit = cairo_pattern_create_linear(0, sy, 0, sy + sh);
    cairo_pattern_add_color_stop_rgb(lit, 0.0, 1.0, 0.80, 0.45);
    cairo_pattern_add_color_stop_rgb(lit, 0.5, 1.0, 0.66, 0.24);
    cairo_pattern_add_color_stop_rgb(lit, 1.0, 0.86, 0.48, 0.12);
    roundedRectangle(cr, sx, sy, sw, sh, 3.5);
    cairo_set_source(cr, lit);
    cairo_fill(cr);
    cairo_pattern_destroy(lit);

    fonts.select(cr, Fonts::bold, 11.0, 0.7);
    for (int i = 0; i < 3; ++i) {
        setColour(cr, i == position ? rgb(54, 28, 4) : grey(150));
        drawTextCentred(cr, words[i], b.x + segment * (i + 0.5), b.centreY(), 0.0);
    }
}

void drawControlPrint(cairo_t* cr, const Fonts& fonts)
{
    const double labelBaseline = 314.0;
    fonts.select(cr, Fonts::bold, 12.5);
    engrave(cr, "ATTACK TIME", attackTimeBox.centreX(), labelBaseline, Align::centre, 1.6);
    engrave(cr, "RELEASE TIME", releaseTimeBox.centreX(), labelBaseline, Align::centre, 1.6);
    engrave(cr, "SATURATION", driveLedBox.centreX(), labelBaseline, Align::centre, 1.6);
    engrave(cr, "BYPASS", bypassBox.centreX(), labelBaseline, Align::centre, 1.6);

    // Lamp and switch bezels, fixed in the plate.
    chromeBezel(cr, driveLedBox.centreX(), driveLedBox.centreY(), 12.5, 10.0);
    chromeBezel(cr, bypassBox.centreX(), bypassBox.y + 10.5, 7.6, 6.1);
    roundedRectangle(cr, bypassBox.centreX() - 33, bypassBox.y + 20.0, 66, 35, 7.0);
    setColour(cr, grey(10));
    cairo_fill_preserve(cr);
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, bypassBox.y + 20.0, 0, bypassBox.y + 55.0);
    cairo_pattern_add_color_stop_rgba(lip, 0.0, 0, 0, 0, 0.8);
    cairo_pattern_add_color_stop_rgba(lip, 1.0, 1, 1, 1, 0.16);
    cairo_set_source(cr, lip);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(lip);
}

} // namespace kelvane::artwork
