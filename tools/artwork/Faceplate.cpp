#include "tools/artwork/Faceplate.h"

#include "tools/artwork/ControlArt.h"
#include "tools/artwork/PanelLayout.h"

#include <cmath>

namespace kelvane::artwork {

namespace {

constexpr int cheekWidth = panelWidth - resizeStripX;   // both end cheeks; the right one is the resize strip

const DialMark marks[] = {
    {-20, true, "-20"}, {-15, false, nullptr}, {-12, false, nullptr}, {-10, true, "-10"}, {-8, false, nullptr},
    {-7, true, nullptr}, {-6, false, nullptr}, {-5, true, "-5"},      {-4, false, nullptr}, {-3, true, "-3"},
    {-2, true, "-2"},    {-1, true, "-1"},     {-0.5, false, nullptr}, {0, true, "0"},      {0.5, false, nullptr},
    {1, true, "+1"},     {1.5, false, nullptr}, {2, true, "+2"},      {2.5, false, nullptr}, {3, true, "+3"},
};

/** A dial mark's needle position: the editor's mapping of the level that many dB from full scale.
    +3 dB is drawn at the mapping's top breakpoint (1.412), where the needle stops. */
float markPosition(double decibels)
{
    const float level = decibels >= 3.0 ? 1.412f : static_cast<float>(std::pow(10.0, decibels / 20.0));
    return meterPosition(level);
}

/** A point on the line the needle takes for position p, at its tip distance plus offset. */
void dialPoint(const NeedleGeometry& g, float position, double offset, double& x, double& y)
{
    const float angle = needleAngle(position);
    const double distance = g.length(angle) + offset;
    x = g.pivotX + distance * std::sin(angle);
    y = g.pivotY - distance * std::cos(angle);
}

void plate(cairo_t* cr, cairo_surface_t* surface)
{
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, panelHeight);
    cairo_pattern_add_color_stop_rgb(body, 0.0, 0.185, 0.19, 0.205);
    cairo_pattern_add_color_stop_rgb(body, 1.0, 0.115, 0.12, 0.13);
    cairo_set_source(cr, body);
    cairo_paint(cr);
    cairo_pattern_destroy(body);

    cairo_pattern_t* cheek = cairo_pattern_create_linear(0, 0, 0, panelHeight);
    cairo_pattern_add_color_stop_rgb(cheek, 0.0, 0.125, 0.128, 0.135);
    cairo_pattern_add_color_stop_rgb(cheek, 1.0, 0.075, 0.078, 0.085);
    cairo_set_source(cr, cheek);
    cairo_rectangle(cr, 0, 0, cheekWidth, panelHeight);
    cairo_rectangle(cr, resizeStripX, 0, cheekWidth, panelHeight);
    cairo_fill(cr);
    cairo_pattern_destroy(cheek);

    cairo_surface_flush(surface);
    brush(surface, 0, 0, panelWidth, panelHeight, 0.05, 90, 1);

    // A soft sheen across the upper plate, as anodising shows under a ceiling light.
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 0, 0, panelHeight);
    cairo_pattern_add_color_stop_rgba(sheen, 0.0, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(sheen, 0.35, 1, 1, 1, 0.0);
    cairo_set_source(cr, sheen);
    cairo_rectangle(cr, cheekWidth, 0, resizeStripX - cheekWidth, panelHeight);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);

    // Seams between the plate and the cheeks, and the plate's own edges.
    cairo_set_line_width(cr, 2.0);
    for (double x : {static_cast<double>(cheekWidth), static_cast<double>(resizeStripX)}) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, panelHeight);
        setColour(cr, grey(0), 0.85);
        cairo_stroke(cr);
        cairo_move_to(cr, x + 1.5, 0);
        cairo_line_to(cr, x + 1.5, panelHeight);
        setColour(cr, grey(255), 0.07);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2.0);
    }
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, 0, 0.5);
    cairo_line_to(cr, panelWidth, 0.5);
    setColour(cr, grey(255), 0.13);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, panelHeight - 0.5);
    cairo_line_to(cr, panelWidth, panelHeight - 0.5);
    setColour(cr, grey(0), 0.8);
    cairo_stroke(cr);
    for (double x : {0.5, panelWidth - 0.5}) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, panelHeight);
        setColour(cr, grey(0), 0.6);
        cairo_stroke(cr);
    }
}

void screw(cairo_t* cr, double cx, double cy, double turn)
{
    setColour(cr, grey(0), 0.55);
    cairo_arc(cr, cx, cy + 1, 10.5, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - 3, cy - 4, 1, cx, cy, 9.5);
    cairo_pattern_add_color_stop_rgb(head, 0.0, 0.62, 0.63, 0.65);
    cairo_pattern_add_color_stop_rgb(head, 0.7, 0.30, 0.31, 0.33);
    cairo_pattern_add_color_stop_rgb(head, 1.0, 0.16, 0.16, 0.17);
    cairo_set_source(cr, head);
    cairo_arc(cr, cx, cy, 9.0, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = turn + i * M_PI / 3;
        cairo_line_to(cr, cx + 3.6 * std::cos(a), cy + 3.6 * std::sin(a));
    }
    cairo_close_path(cr);
    setColour(cr, grey(14));
    cairo_fill(cr);
}

/** Vertical ribs on an end cheek: something to take hold of (the right one resizes the editor). */
void grip(cairo_t* cr, double cx)
{
    for (int i = -3; i <= 3; ++i) {
        const double x = std::round(cx + i * 7.0);
        roundedRectangle(cr, x - 1.5, 128, 3.0, 94, 1.5);
        setColour(cr, grey(0), 0.75);
        cairo_fill(cr);
        cairo_move_to(cr, x + 2.0, 129);
        cairo_line_to(cr, x + 2.0, 221);
        setColour(cr, grey(255), 0.09);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
}

void dial(cairo_t* cr, const Fonts& fonts, const Box& m, const char* name)
{
    const NeedleGeometry g = needleGeometry(m);

    // Bezel: a recess in the plate with a black gasket round the glass.
    roundedRectangle(cr, m.x - 10, m.y - 10, m.w + 20, m.h + 20, 13);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, m.y - 10, 0, m.bottom() + 10);
    cairo_pattern_add_color_stop_rgb(bezel, 0.0, 0.03, 0.03, 0.035);
    cairo_pattern_add_color_stop_rgb(bezel, 1.0, 0.30, 0.31, 0.33);
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);
    roundedRectangle(cr, m.x - 5, m.y - 5, m.w + 10, m.h + 10, 8);
    setColour(cr, grey(6));
    cairo_fill(cr);

    // The backlit face, brightest low in the middle where the lamp sits.
    cairo_save(cr);
    roundedRectangle(cr, m.x, m.y, m.w, m.h, 3);
    cairo_clip(cr);
    cairo_pattern_t* face = cairo_pattern_create_radial(g.pivotX, m.bottom() + 10, 10, g.pivotX, m.bottom() + 10, 240);
    cairo_pattern_add_color_stop_rgb(face, 0.0, 1.0, 0.95, 0.80);
    cairo_pattern_add_color_stop_rgb(face, 0.55, 0.96, 0.88, 0.68);
    cairo_pattern_add_color_stop_rgb(face, 1.0, 0.80, 0.68, 0.47);
    cairo_set_source(cr, face);
    cairo_paint(cr);
    cairo_pattern_destroy(face);

    const Rgb ink = rgb(28, 22, 16);
    const Rgb red = rgb(196, 30, 22);
    const int steps = 200;
    // The red zone, 0 dB up to the stop.
    cairo_new_path(cr);
    for (int i = 0; i <= steps; ++i) {
        const float p = markPosition(0.0) + (1.0f - markPosition(0.0)) * static_cast<float>(i) / steps;
        double x, y;
        dialPoint(g, p, -14.5, x, y);
        cairo_line_to(cr, x, y);
    }
    for (int i = steps; i >= 0; --i) {
        const float p = markPosition(0.0) + (1.0f - markPosition(0.0)) * static_cast<float>(i) / steps;
        double x, y;
        dialPoint(g, p, -9.0, x, y);
        cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    setColour(cr, red);
    cairo_fill(cr);
    // The scale line follows the tip's flattened arc.
    cairo_new_path(cr);
    for (int i = 0; i <= steps; ++i) {
        double x, y;
        dialPoint(g, static_cast<float>(i) / steps, -15.0, x, y);
        cairo_line_to(cr, x, y);
    }
    cairo_set_line_width(cr, 1.3);
    setColour(cr, ink);
    cairo_stroke(cr);

    int count = 0;
    const DialMark* list = dialMarks(count);
    fonts.select(cr, Fonts::bold, 12.5, 0.86);
    for (int i = 0; i < count; ++i) {
        const DialMark& mark = list[i];
        const float p = markPosition(mark.decibels);
        const bool inRed = mark.decibels >= 0.0;
        double x0, y0, x1, y1;
        dialPoint(g, p, -15.0, x0, y0);
        dialPoint(g, p, mark.major ? -3.0 : -9.0, x1, y1);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, mark.major ? 1.7 : 1.1);
        setColour(cr, inRed && mark.decibels > 0.0 ? red : ink);
        cairo_stroke(cr);
        if (mark.label != nullptr) {
            double x, y;
            dialPoint(g, p, 9.0, x, y);
            setColour(cr, inRed && mark.decibels > 0.0 ? red : ink);
            drawTextCentred(cr, mark.label, x, y);
        }
    }
    fonts.select(cr, Fonts::bold, 17.0);
    setColour(cr, ink, 0.88);
    drawTextCentred(cr, "dBFS", g.pivotX, m.y + 103.0, 1.0);
    fonts.select(cr, Fonts::regular, 9.0);
    setColour(cr, ink, 0.75);
    drawTextCentred(cr, "PEAK", g.pivotX, m.y + 119.0, 2.5);
    fonts.select(cr, Fonts::bold, 9.0, 0.9);
    setColour(cr, ink, 0.6);
    drawText(cr, name, m.x + 9, m.bottom() - 8, Align::left, 1.5);
    drawText(cr, "VELMORA", m.right() - 9, m.bottom() - 8, Align::right, 1.5);

    // Glass: a little gloss at the top and the shadow of the bezel lip.
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, m.y, 0, m.y + 16);
    cairo_pattern_add_color_stop_rgba(lip, 0.0, 0, 0, 0, 0.42);
    cairo_pattern_add_color_stop_rgba(lip, 1.0, 0, 0, 0, 0.0);
    cairo_set_source(cr, lip);
    cairo_paint(cr);
    cairo_pattern_destroy(lip);
    for (int side = 0; side < 2; ++side) {
        const double edge = side == 0 ? m.x : m.right();
        cairo_pattern_t* s = cairo_pattern_create_linear(edge, 0, side == 0 ? edge + 10 : edge - 10, 0);
        cairo_pattern_add_color_stop_rgba(s, 0.0, 0, 0, 0, 0.25);
        cairo_pattern_add_color_stop_rgba(s, 1.0, 0, 0, 0, 0.0);
        cairo_set_source(cr, s);
        cairo_paint(cr);
        cairo_pattern_destroy(s);
    }
    cairo_pattern_t* gloss = cairo_pattern_create_linear(m.x, m.y, m.x + m.w * 0.4, m.bottom());
    cairo_pattern_add_color_stop_rgba(gloss, 0.0, 1, 1, 1, 0.16);
    cairo_pattern_add_color_stop_rgba(gloss, 0.5, 1, 1, 1, 0.03);
    cairo_pattern_add_color_stop_rgba(gloss, 0.51, 1, 1, 1, 0.0);
    cairo_set_source(cr, gloss);
    cairo_paint(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);

    fonts.select(cr, Fonts::bold, 16.0);
    engrave(cr, name, m.centreX(), m.bottom() + 36.0, Align::centre, 4.0);
}

void branding(cairo_t* cr, const Fonts& fonts)
{
    const double cx = panelWidth / 2.0;
    fonts.select(cr, Fonts::bold, 36.0);
    engrave(cr, "KELVANE", cx, 58.0, Align::centre, 11.0, grey(232));
    fonts.select(cr, Fonts::regular, 11.0);
    const char* subtitle = "TRANSIENT SHAPER";
    const double half = textWidth(cr, subtitle, 4.5) / 2;
    engrave(cr, subtitle, cx, 80.0, Align::centre, 4.5, rgb(226, 160, 76));
    cairo_set_line_width(cr, 1.0);
    for (int side = -1; side <= 1; side += 2) {
        const double inner = cx + side * (half + 14);
        const double outer = cx + side * (half + 84);
        cairo_move_to(cr, inner, 76.5);
        cairo_line_to(cr, outer, 76.5);
        setColour(cr, grey(190), 0.45);
        cairo_stroke(cr);
    }

    // The maker under the input meter, the model line under the output meter.
    const double left = inputMeterBox.centreX();
    fonts.select(cr, Fonts::bold, 21.0);
    engrave(cr, "VELMORA", left, 292.0, Align::centre, 9.0, grey(226));
    fonts.select(cr, Fonts::regular, 10.5);
    engrave(cr, "AUDIO TECHNOLOGIES", left, 312.0, Align::centre, 4.6, grey(170));

    const double right = outputMeterBox.centreX();
    fonts.select(cr, Fonts::regular, 11.5);
    const char* model = "STEREO TRANSIENT PROCESSOR";
    const double modelHalf = textWidth(cr, model, 3.4) / 2;
    engrave(cr, model, right, 300.0, Align::centre, 3.4, grey(186));
    cairo_set_line_width(cr, 1.0);
    for (double y : {281.5, 311.5}) {
        cairo_move_to(cr, right - modelHalf, y);
        cairo_line_to(cr, right + modelHalf, y);
        setColour(cr, grey(190), 0.35);
        cairo_stroke(cr);
    }
}

} // namespace

const DialMark* dialMarks(int& count)
{
    count = static_cast<int>(sizeof(marks) / sizeof(marks[0]));
    return marks;
}

void drawFaceplate(cairo_surface_t* surface, const Fonts& fonts)
{
    Context context = makeContext(surface);
    cairo_t* cr = context.get();
    plate(cr, surface);
    const double cheekCentre = cheekWidth / 2.0;
    screw(cr, cheekCentre, 34, 0.3);
    screw(cr, cheekCentre, panelHeight - 34, 1.1);
    screw(cr, panelWidth - cheekCentre, 34, 0.7);
    screw(cr, panelWidth - cheekCentre, panelHeight - 34, 0.1);
    grip(cr, cheekCentre);
    grip(cr, panelWidth - cheekCentre);

    dial(cr, fonts, inputMeterBox, "INPUT");
    dial(cr, fonts, outputMeterBox, "OUTPUT");
    branding(cr, fonts);
    for (const KnobSpec& knob : knobSpecs())
        drawKnobScale(cr, fonts, knob);
    drawControlPrint(cr, fonts);
    cairo_surface_flush(surface);
}

} // namespace kelvane::artwork
