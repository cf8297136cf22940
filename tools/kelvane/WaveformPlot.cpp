#include "tools/kelvane/WaveformPlot.h"

#include "tools/kelvane/SignalStats.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace kelvane {

namespace {

constexpr int imageWidth = 1600;
constexpr int imageHeight = 900;
constexpr double marginLeft = 70.0;
constexpr double marginRight = 70.0;
constexpr double headerHeight = 92.0;
constexpr double axisHeight = 58.0;
constexpr double panelGap = 26.0;

struct Rgb {
    double r, g, b;
};
constexpr Rgb background{0.075, 0.082, 0.098};
constexpr Rgb panelFill{0.105, 0.114, 0.137};
constexpr Rgb gridColour{0.80, 0.84, 0.90};
constexpr Rgb textColour{0.88, 0.90, 0.93};
constexpr Rgb dimText{0.55, 0.59, 0.65};
constexpr Rgb inputColour{0.30, 0.64, 1.00};
constexpr Rgb outputColour{1.00, 0.62, 0.25};

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

/** Peak and RMS of all channels over the frames of each pixel column. */
struct Column {
    float minimum = 0.0f, maximum = 0.0f, rms = 0.0f;
};

std::vector<Column> summarise(const AudioData& audio, int columns, int64_t framesShown)
{
    std::vector<Column> out(static_cast<size_t>(columns));
    const int64_t frames = audio.numFrames();
    for (int x = 0; x < columns; ++x) {
        const int64_t begin = framesShown * x / columns;
        const int64_t end = std::min(frames, std::max(begin + 1, framesShown * (x + 1) / columns));
        Column c;
        double sum = 0.0;
        int64_t count = 0;
        for (const auto& channel : audio.channels)
            for (int64_t i = begin; i < end; ++i) {
                const float s = channel[static_cast<size_t>(i)];
                c.minimum = std::min(c.minimum, s);
                c.maximum = std::max(c.maximum, s);
                sum += static_cast<double>(s) * s;
                ++count;
            }
        c.rms = count > 0 ? static_cast<float>(std::sqrt(sum / static_cast<double>(count))) : 0.0f;
        out[static_cast<size_t>(x)] = c;
    }
    return out;
}

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void text(cairo_t* cr, double x, double y, const std::string& s, double size, Rgb colour, bool bold = false,
          double alignRight = 0.0)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    setColour(cr, colour);
    cairo_move_to(cr, x - alignRight * extents.x_advance, y);
    cairo_show_text(cr, s.c_str());
}

// A time step that gives between about 6 and 16 labelled ticks.
double niceTimeStep(double seconds)
{
    for (double step : {0.01, 0.02, 0.05, 0.1, 0.2, 0.25, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0})
        if (seconds / step <= 16.0)
            return step;
    return 1200.0;
}

std::string timeLabel(double t, double step)
{
    char buffer[32];
    if (step >= 60.0)
        std::snprintf(buffer, sizeof buffer, "%d:%02d", static_cast<int>(t) / 60, static_cast<int>(t) % 60);
    else
        std::snprintf(buffer, sizeof buffer, step < 0.1 ? "%.2f" : step < 1.0 ? "%.1f" : "%.0f", t);
    return buffer;
}

std::string statsLine(const AudioData& audio)
{
    double peak = 0.0, sumSquares = 0.0;
    size_t count = 0;
    for (const auto& channel : audio.channels) {
        const ChannelStats s = measureChannel(channel.data(), channel.size());
        peak = std::max(peak, s.peak);
        sumSquares += s.rms * s.rms * static_cast<double>(channel.size());
        count += channel.size();
    }
    ChannelStats all;
    all.peak = peak;
    all.rms = count > 0 ? std::sqrt(sumSquares / static_cast<double>(count)) : 0.0;
    return "peak " + formatDb(all.peakDb()) + " dBFS   RMS " + formatDb(all.rmsDb()) + " dBFS   crest "
           + formatDb(all.crestDb()) + " dB";
}

struct Panel {
    double x, y, width, height;
    double fullScale = 1.0;                  // amplitude drawn at the panel's edge (less a small margin)
    double yFor(double amplitude) const { return y + height * 0.5 - amplitude / fullScale * height * 0.5 * 0.94; }
};

double largestPeak(const AudioData& audio)
{
    double peak = 0.0;
    for (const auto& channel : audio.channels)
        peak = std::max(peak, measureChannel(channel.data(), channel.size()).peak);
    return peak;
}

void drawEnvelope(cairo_t* cr, const Panel& p, const std::vector<Column>& columns, Rgb colour)
{
    const double step = p.width / static_cast<double>(columns.size());
    // Peak band.
    cairo_new_path(cr);
    for (size_t i = 0; i < columns.size(); ++i)
        cairo_line_to(cr, p.x + (static_cast<double>(i) + 0.5) * step, p.yFor(columns[i].maximum));
    for (size_t i = columns.size(); i-- > 0;)
        cairo_line_to(cr, p.x + (static_cast<double>(i) + 0.5) * step, p.yFor(columns[i].minimum));
    cairo_close_path(cr);
    setColour(cr, colour, 0.6);
    cairo_fill(cr);
    // RMS band: the body of the sound, where sustain shows.
    cairo_new_path(cr);
    for (size_t i = 0; i < columns.size(); ++i)
        cairo_line_to(cr, p.x + (static_cast<double>(i) + 0.5) * step, p.yFor(columns[i].rms));
    for (size_t i = columns.size(); i-- > 0;)
        cairo_line_to(cr, p.x + (static_cast<double>(i) + 0.5) * step, p.yFor(-columns[i].rms));
    cairo_close_path(cr);
    setColour(cr, colour, 0.95);
    cairo_fill(cr);
}

// The input's peak level as a smooth symmetric line: the largest magnitude within a few columns
// either side, so low notes (a kick's period spans several columns) do not make it zigzag.
void drawOutline(cairo_t* cr, const Panel& p, const std::vector<Column>& columns, Rgb colour)
{
    constexpr int reach = 3;
    const int n = static_cast<int>(columns.size());
    std::vector<double> level(columns.size());
    for (int i = 0; i < n; ++i) {
        double m = 0.0;
        for (int j = std::max(0, i - reach); j <= std::min(n - 1, i + reach); ++j)
            m = std::max({m, static_cast<double>(columns[static_cast<size_t>(j)].maximum),
                          -static_cast<double>(columns[static_cast<size_t>(j)].minimum)});
        level[static_cast<size_t>(i)] = m;
    }
    const double step = p.width / static_cast<double>(n);
    for (const double sign : {1.0, -1.0}) {
        cairo_new_path(cr);
        for (int i = 0; i < n; ++i)
            cairo_line_to(cr, p.x + (i + 0.5) * step, p.yFor(sign * level[static_cast<size_t>(i)]));
        setColour(cr, colour, 0.6);
        cairo_set_line_width(cr, 1.1);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
}

void drawPanel(cairo_t* cr, const Panel& p, const std::string& name, const std::string& stats, Rgb colour)
{
    roundedRectangle(cr, p.x - 8, p.y - 6, p.width + 16, p.height + 12, 8);
    setColour(cr, panelFill);
    cairo_fill(cr);

    // Amplitude grid: full scale, -6 dB and the centre line, labelled on the right.
    cairo_set_line_width(cr, 1.0);
    const struct { double amplitude; const char* label; double alpha; } lines[] = {
        {1.0, "0 dB", 0.16}, {0.5, "-6", 0.10}, {0.0, "", 0.22}, {-0.5, "-6", 0.10}, {-1.0, "0 dB", 0.16}};
    for (const auto& line : lines) {
        const double y = std::floor(p.yFor(line.amplitude)) + 0.5;
        cairo_move_to(cr, p.x, y);
        cairo_line_to(cr, p.x + p.width, y);
        setColour(cr, gridColour, line.alpha);
        cairo_stroke(cr);
        if (line.label[0] != '\0')
            text(cr, p.x + p.width + 14, y + 4, line.label, 11, dimText);
    }
    // Name tag and statistics in the top-left corner, above the waveform.
    roundedRectangle(cr, p.x + 6, p.y + 6, 12, 12, 3);
    setColour(cr, colour);
    cairo_fill(cr);
    text(cr, p.x + 26, p.y + 17, name, 14, textColour, true);
    text(cr, p.x + 26 + 9.0 * static_cast<double>(name.size()) + 14, p.y + 17, stats, 12, dimText);
}

} // namespace

bool plotWaveforms(const std::string& pngPath, const AudioData& input, const AudioData& output, const PlotLabels& labels,
                   std::string& error)
{
    const int64_t frames = std::max(input.numFrames(), output.numFrames());
    if (frames == 0 || input.numChannels() == 0 || output.numChannels() == 0) {
        error = "cannot plot '" + pngPath + "': there is no audio to draw";
        return false;
    }
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, imageWidth, imageHeight));
    std::unique_ptr<cairo_t, ContextDeleter> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();

    setColour(cr, background);
    cairo_paint(cr);

    text(cr, marginLeft - 8, 38, labels.title, 22, textColour, true);
    text(cr, marginLeft - 8, 66, labels.subtitle, 14, dimText);
    text(cr, imageWidth - marginRight + 8, 38, "Kelvane", 18, outputColour, true, 1.0);
    text(cr, imageWidth - marginRight + 8, 62, "transient shaper - before / after", 12, dimText, false, 1.0);

    const double plotWidth = imageWidth - marginLeft - marginRight;
    const double panelHeight = (imageHeight - headerHeight - axisHeight - panelGap) / 2.0;
    // Both panels share one amplitude scale, widened past full scale when either signal goes over,
    // so nothing is cut off and the 0 dB lines show by how much.
    const double fullScale = std::max({1.0, largestPeak(input), largestPeak(output)});
    const Panel top{marginLeft, headerHeight, plotWidth, panelHeight, fullScale};
    const Panel bottom{marginLeft, headerHeight + panelHeight + panelGap, plotWidth, panelHeight, fullScale};

    const int columns = static_cast<int>(plotWidth);
    const auto inputColumns = summarise(input, columns, frames);
    const auto outputColumns = summarise(output, columns, frames);

    drawPanel(cr, top, "Input", statsLine(input), inputColour);
    drawPanel(cr, bottom, "Output", statsLine(output), outputColour);

    // Shared time axis: grid lines run through both panels, labels under the lower one.
    const double seconds = static_cast<double>(frames) / std::max(1, input.sampleRate);
    const double step = niceTimeStep(seconds);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i * step <= seconds + 1e-9; ++i) {
        const double t = i * step;
        const double x = std::floor(marginLeft + plotWidth * t / seconds) + 0.5;
        for (const Panel* p : {&top, &bottom}) {
            cairo_move_to(cr, x, p->y);
            cairo_line_to(cr, x, p->y + p->height);
        }
        setColour(cr, gridColour, 0.07);
        cairo_stroke(cr);
        cairo_move_to(cr, x, bottom.y + bottom.height + 6);
        cairo_line_to(cr, x, bottom.y + bottom.height + 12);
        setColour(cr, dimText);
        cairo_stroke(cr);
        text(cr, x, bottom.y + bottom.height + 28, timeLabel(t, step), 11, dimText, false, 0.5);
    }
    text(cr, marginLeft + plotWidth / 2, imageHeight - 10, "time (s)", 12, dimText, false, 0.5);

    cairo_save(cr);
    cairo_rectangle(cr, top.x, top.y, top.width, top.height);
    cairo_clip(cr);
    drawEnvelope(cr, top, inputColumns, inputColour);
    cairo_restore(cr);

    cairo_save(cr);
    cairo_rectangle(cr, bottom.x, bottom.y, bottom.width, bottom.height);
    cairo_clip(cr);
    drawEnvelope(cr, bottom, outputColumns, outputColour);
    drawOutline(cr, bottom, inputColumns, inputColour);
    cairo_restore(cr);
    text(cr, bottom.x + bottom.width, bottom.y + 17, "blue line: input peak level", 11, inputColour, false, 1.0);

    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), pngPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        error = "cannot write plot '" + pngPath + "'";
        return false;
    }
    return true;
}

} // namespace kelvane
