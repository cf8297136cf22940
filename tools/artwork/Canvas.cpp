#include "tools/artwork/Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace kelvane::artwork {

namespace {

// From fonts-dejavu-core, which the set-up installs; named by path so no font configuration of the
// machine can swap them.
constexpr const char* fontFiles[2] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};

cairo_user_data_key_t faceKey;

void releaseFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

/** The UTF-8 text split into characters, each with its continuation bytes, for letter spacing. */
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> out;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && !out.empty())
            out.back() += c;
        else
            out.emplace_back(1, c);
    }
    return out;
}

} // namespace

Surface makeSurface(int width, int height)
{
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a drawing surface");
    return s;
}

Context makeContext(cairo_surface_t* surface)
{
    Context cr(cairo_create(surface));
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr.get(), options);
    cairo_font_options_destroy(options);
    return cr;
}

void setColour(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

Fonts::Fonts()
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0)
        throw std::runtime_error("cannot start FreeType");
    library = lib;
    for (int i = 0; i < 2; ++i) {
        FT_Face face = nullptr;
        if (FT_New_Face(lib, fontFiles[i], 0, &face) != 0)
            throw std::runtime_error(std::string("cannot load the font ") + fontFiles[i]);
        faces[i] = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
        // cairo keeps the face alive in its caches; it closes the FreeType face when it lets go.
        if (cairo_font_face_set_user_data(faces[i], &faceKey, face, releaseFace) != CAIRO_STATUS_SUCCESS) {
            FT_Done_Face(face);
            throw std::runtime_error("cannot attach the font");
        }
    }
}

Fonts::~Fonts()
{
    for (cairo_font_face_t* face : faces)
        if (face != nullptr)
            cairo_font_face_destroy(face);
    // The faces may still sit in cairo's font cache; flushing it closes them before the library goes.
    cairo_debug_reset_static_data();
    if (library != nullptr)
        FT_Done_FreeType(static_cast<FT_Library>(library));
}

void Fonts::select(cairo_t* cr, Face face, double size, double widthFactor) const
{
    cairo_set_font_face(cr, faces[face]);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, size * widthFactor, size);
    cairo_set_font_matrix(cr, &m);
}

double textWidth(cairo_t* cr, const std::string& text, double spacing)
{
    double width = 0.0;
    const std::vector<std::string> glyphs = characters(text);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, glyphs[i].c_str(), &e);
        width += e.x_advance + (i + 1 < glyphs.size() ? spacing : 0.0);
    }
    return width;
}

void drawText(cairo_t* cr, const std::string& text, double x, double baselineY, Align align, double spacing)
{
    const double width = textWidth(cr, text, spacing);
    double pen = align == Align::left ? x : align == Align::centre ? x - width / 2 : x - width;
    for (const std::string& glyph : characters(text)) {
        cairo_move_to(cr, pen, baselineY);
        cairo_show_text(cr, glyph.c_str());
        cairo_text_extents_t e;
        cairo_text_extents(cr, glyph.c_str(), &e);
        pen += e.x_advance + spacing;
    }
}

void drawTextCentred(cairo_t* cr, const std::string& text, double x, double y, double spacing)
{
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "H", &cap);
    drawText(cr, text, x, y - cap.y_bearing / 2, Align::centre, spacing);
}

void engrave(cairo_t* cr, const std::string& text, double x, double baselineY, Align align, double spacing, Rgb colour)
{
    setColour(cr, grey(0), 0.55);
    drawText(cr, text, x, baselineY - 1, align, spacing);
    setColour(cr, grey(255), 0.06);
    drawText(cr, text, x, baselineY + 1, align, spacing);
    setColour(cr, colour);
    drawText(cr, text, x, baselineY, align, spacing);
}

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

double Noise::next()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

void brush(cairo_surface_t* surface, int x, int y, int w, int h, double strength, int streakLength, uint64_t seed)
{
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Noise noise(seed);
    std::vector<double> raw(static_cast<size_t>(w + streakLength));
    std::vector<double> streak(static_cast<size_t>(w));
    for (int row = 0; row < h; ++row) {
        // Box-filtered white noise along the row gives long streaks; a per-row offset varies the rows.
        for (double& v : raw)
            v = noise.next();
        double sum = 0.0;
        for (int i = 0; i < streakLength; ++i)
            sum += raw[static_cast<size_t>(i)];
        for (int i = 0; i < w; ++i) {
            streak[static_cast<size_t>(i)] = sum / std::sqrt(static_cast<double>(streakLength));
            sum += raw[static_cast<size_t>(i + streakLength)] - raw[static_cast<size_t>(i)];
        }
        const double rowOffset = noise.next() * 0.5;
        uint32_t* pixels = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y + row) * stride) + x;
        for (int i = 0; i < w; ++i) {
            const double factor = 1.0 + strength * (streak[static_cast<size_t>(i)] * 0.6 + rowOffset + noise.next() * 0.3);
            const uint32_t p = pixels[i];
            const uint32_t alpha = p >> 24;
            uint32_t out = alpha << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                const double c = static_cast<double>((p >> shift) & 0xFF) * factor;
                const double limited = std::clamp(std::round(c), 0.0, static_cast<double>(alpha));
                out |= static_cast<uint32_t>(limited) << shift;
            }
            pixels[i] = out;
        }
    }
    cairo_surface_mark_dirty(surface);
}

} // namespace kelvane::artwork
