#include "tools/artwork/ArtworkSet.h"

#include "tools/artwork/Canvas.h"
#include "tools/artwork/ControlArt.h"
#include "tools/artwork/Faceplate.h"
#include "tools/artwork/PanelLayout.h"

#include <cmath>
#include <functional>
#include <stdexcept>

namespace kelvane::artwork {

namespace {

struct Strip {
    std::string entryName;
    Box box;
    int frames;
    int defaultFrame;   // what the background shows: the control at its default value
    int previewFrame;
    std::function<void(cairo_t*, int frame)> draw;
};

std::vector<Strip> strips(const Fonts& fonts)
{
    std::vector<Strip> list;
    for (const KnobSpec& knob : knobSpecs()) {
        const int defaultFrame = std::string(knob.entryName) == "slice_knbDrive" ? 0 : 50;
        list.push_back({knob.entryName, knob.box, knobFrames, defaultFrame, 62,
                        [&knob](cairo_t* cr, int frame) { drawKnob(cr, knob, frame / 100.0); }});
    }
    // A toggle shows its first frame when off and its last when on; the frames between are never
    // chosen, and switch over half way so that any frame reads as the nearer state.
    list.push_back({"slice_tbtnBypass", bypassBox, bypassFrames, 0, 100,
                    [](cairo_t* cr, int frame) { drawBypass(cr, frame >= 50); }});
    list.push_back({"satled.png", driveLedBox, driveLedFrames, 0, 70,
                    [](cairo_t* cr, int frame) { drawDriveLed(cr, frame / 100.0); }});
    list.push_back({"attack.png", attackTimeBox, selectorFrames, 1, 0,
                    [&fonts](cairo_t* cr, int frame) { drawSelector(cr, fonts, attackTimeBox, frame); }});
    list.push_back({"release.png", releaseTimeBox, selectorFrames, 1, 1,
                    [&fonts](cairo_t* cr, int frame) { drawSelector(cr, fonts, releaseTimeBox, frame); }});
    return list;
}

std::string fileNameFor(const std::string& entryName)
{
    const size_t dot = entryName.find('.');
    return (dot == std::string::npos ? entryName : entryName.substr(0, dot)) + ".png";
}

void writePng(cairo_surface_t* surface, const std::string& path)
{
    cairo_surface_flush(surface);
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}

Surface copyOf(cairo_surface_t* source)
{
    Surface copy = makeSurface(cairo_image_surface_get_width(source), cairo_image_surface_get_height(source));
    Context cr = makeContext(copy.get());
    cairo_set_source_surface(cr.get(), source, 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    return copy;
}

/** Every frame: the plate under the rectangle, then the control drawn in panel coordinates. */
Surface cutStrip(cairo_surface_t* plate, const Strip& strip)
{
    const Box& b = strip.box;
    Surface surface = makeSurface(b.w, b.h * strip.frames);
    for (int frame = 0; frame < strip.frames; ++frame) {
        Context context = makeContext(surface.get());
        cairo_t* cr = context.get();
        cairo_translate(cr, -b.x, frame * b.h - b.y);
        cairo_rectangle(cr, b.x, b.y, b.w, b.h);
        cairo_clip(cr);
        cairo_set_source_surface(cr, plate, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        strip.draw(cr, frame);
    }
    return surface;
}

void placeFrame(cairo_surface_t* target, cairo_surface_t* stripSurface, const Box& b, int frame)
{
    Context cr = makeContext(target);
    cairo_set_source_surface(cr.get(), stripSurface, b.x, b.y - frame * b.h);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr.get(), b.x, b.y, b.w, b.h);
    cairo_fill(cr.get());
}

/** The needle roughly as the editor draws it at design size: 4 units of dark grey from the pivot,
    clipped to the meter's rectangle. */
void drawNeedle(cairo_surface_t* target, const Box& meter, float level)
{
    Context context = makeContext(target);
    cairo_t* cr = context.get();
    const NeedleGeometry g = needleGeometry(meter);
    const float angle = needleAngle(meterPosition(level));
    const double length = g.length(angle);
    cairo_rectangle(cr, meter.x, meter.y, meter.w, meter.h);
    cairo_clip(cr);
    cairo_move_to(cr, g.pivotX, g.pivotY);
    cairo_line_to(cr, g.pivotX + length * std::sin(angle), g.pivotY - length * std::cos(angle));
    cairo_set_line_width(cr, 4.0);
    setColour(cr, grey(20), 0.9);
    cairo_stroke(cr);
}

} // namespace

std::vector<ArtworkFile> artworkFiles()
{
    std::vector<ArtworkFile> files{{"KV.0001.tif", fileNameFor("KV.0001.tif")}};
    for (const char* name : {"slice_knbAttack", "slice_knbDrive", "slice_knbRelease", "slice_knbGain",
                             "slice_tbtnBypass", "satled.png", "attack.png", "release.png"})
        files.push_back({name, fileNameFor(name)});
    return files;
}

void writeArtwork(const std::string& folder, const std::string& previewPath)
{
    const Fonts fonts;
    Surface plate = makeSurface(panelWidth, panelHeight);
    drawFaceplate(plate.get(), fonts);

    Surface background = copyOf(plate.get());
    Surface preview = copyOf(plate.get());
    for (const Strip& strip : strips(fonts)) {
        Surface surface = cutStrip(plate.get(), strip);
        writePng(surface.get(), folder + "/" + fileNameFor(strip.entryName));
        placeFrame(background.get(), surface.get(), strip.box, strip.defaultFrame);
        placeFrame(preview.get(), surface.get(), strip.box, strip.previewFrame);
    }
    writePng(background.get(), folder + "/" + fileNameFor("KV.0001.tif"));

    if (!previewPath.empty()) {
        drawNeedle(preview.get(), inputMeterBox, 1.0f);    // 0 dBFS
        drawNeedle(preview.get(), outputMeterBox, 0.5f);   // -6 dBFS
        writePng(preview.get(), previewPath);
    }
}

} // namespace kelvane::artwork
