#pragma once
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

/** Drawing helpers shared by the artwork: owned cairo objects, the two fonts, engraved text and a
    few shapes. Everything is deterministic: fonts come from fixed DejaVu files (no fontconfig lookup,
    no hinting), and noise from a seeded generator, so the same build gives the same bytes. */
namespace kelvane::artwork {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

/** An opaque-capable ARGB32 image surface, cleared to transparent. */
Surface makeSurface(int width, int height);
/** A context on the surface with the artwork's fixed font options. */
Context makeContext(cairo_surface_t* surface);

struct Rgb {
    double r, g, b;
};
inline Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Rgb grey(int v) { return {v / 255.0, v / 255.0, v / 255.0}; }
inline Rgb rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);

/** The faces used for all lettering, loaded by path from fonts-dejavu-core. Owns the FreeType
    library; create one before drawing and keep it until every surface is written. */
class Fonts {
public:
    enum Face { regular, bold };
    /** Throws std::runtime_error naming the file when a face cannot be loaded. */
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    /** Selects the face at a pixel size; widthFactor < 1 gives a condensed cut of the same face. */
    void select(cairo_t* cr, Face face, double size, double widthFactor = 1.0) const;

private:
    void* library = nullptr;   // FT_Library
    cairo_font_face_t* faces[2] = {nullptr, nullptr};
};

enum class Align { left, centre, right };

/** Width of text with extra letter spacing (pixels between glyphs), in the selected font. */
double textWidth(cairo_t* cr, const std::string& text, double spacing = 0.0);
/** Draws text in the current source with its baseline at y and the given letter spacing. */
void drawText(cairo_t* cr, const std::string& text, double x, double baselineY, Align align, double spacing = 0.0);
/** Text centred on (x, y) both ways, using the font's cap height for the vertical centre. */
void drawTextCentred(cairo_t* cr, const std::string& text, double x, double y, double spacing = 0.0);

/** Laser-engraved lettering on the dark plate: bright metal in a recess with a faint shadow above. */
void engrave(cairo_t* cr, const std::string& text, double x, double baselineY, Align align, double spacing,
             Rgb colour = grey(214));

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double radius);

/** Deterministic noise source (xorshift), seeded per use so that parts of the drawing are stable. */
class Noise {
public:
    explicit Noise(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    /** Uniform in [-1, 1). */
    double next();

private:
    uint64_t state;
};

/** Adds horizontal brushing to an opaque area of the surface: brightness streaks of the given
    strength (fraction of the pixel value), streak length in pixels. */
void brush(cairo_surface_t* surface, int x, int y, int w, int h, double strength, int streakLength, uint64_t seed);

} // namespace kelvane::artwork
